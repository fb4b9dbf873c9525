#include "frmSummary.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "BusyCursor.h"
#include "FormScaler.h"
#include "Printout.h"
#include "RaceState.h"
#include "RaceSummary.h"
#include "ResultGridModel.h"
#include "ResultTableView.h"
#include "SummaryFile.h"

namespace lapdeck {
namespace {

// The controls are placed for this size and scaled with the window, fonts included.
constexpr QSize kDesignSize(900, 368);
constexpr int kHeaderRows = 2;

}  // namespace

frmSummary::frmSummary(ResultsWindows& results, QWidget* parent)
    : QDialog(parent), m_results(results) {
    setObjectName(QStringLiteral("frmSummary"));
    setWindowTitle(QStringLiteral("View Summary"));

    auto* menus = new QMenuBar(this);
    auto item = [this](QMenu* menu, const char* name, const QString& caption, auto slot) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuFile = menus->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuOpen = item(mnuFile, "mnuOpen", QStringLiteral("Open"), [this]() { mnuOpen_Click(); });
    mnuSave = item(mnuFile, "mnuSave", QStringLiteral("Save"), [this]() { cmdSave_Click(); });
    mnuPrint = item(mnuFile, "mnuPrint", QStringLiteral("Print"), [this]() { cmdPrint_Click(); });
    mnuSavePdf = item(mnuFile, "mnuSavePdf", QStringLiteral("Save as PDF..."),
                      [this]() { cmdSavePdf_Click(); });
    mnuClose = item(mnuFile, "mnuClose", QStringLiteral("Close"), [this]() { cmdClose_Click(); });

    auto* form = new QWidget;
    form->setObjectName(QStringLiteral("summaryForm"));
    auto place = [form](QWidget* w, const char* name, QRect rect) {
        w->setParent(form);
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(rect);
    };
    auto button = [&](QPushButton*& b, const char* name, const QString& caption, const QString& tip,
                      QRect rect, void (frmSummary::*slot)()) {
        b = new QPushButton(caption);
        place(b, name, rect);
        b->setToolTip(tip);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
    };

    txtHeader = new QPlainTextEdit;
    place(txtHeader, "txtHeader", QRect(8, 8, 420, 54));
    txtHeader->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtHeader->setReadOnly(true);
    txtHeader->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_model = new ResultGridModel(kHeaderRows, this);
    grdGrid = new ResultTableView(m_model);
    place(grdGrid, "grdGrid", QRect(6, 70, 888, 246));
    grdGrid->installEventFilter(this);
    button(cmdViewLaps, "cmdViewLaps", QStringLiteral("&View Laps"), QString(),
           QRect(8, 326, 120, 34), &frmSummary::cmdViewLaps_Click);
    button(cmdSave, "cmdSave", QStringLiteral("&Save"), QStringLiteral("Save Summary to file"),
           QRect(136, 326, 100, 34), &frmSummary::cmdSave_Click);
    button(cmdPrint, "cmdPrint", QStringLiteral("&Print Summary "), QStringLiteral("Print summary"),
           QRect(244, 326, 150, 34), &frmSummary::cmdPrint_Click);
    button(cmdSavePdf, "cmdSavePdf", QStringLiteral("Save as P&DF"),
           QStringLiteral("Save the printed summary as a PDF file"), QRect(402, 326, 130, 34),
           &frmSummary::cmdSavePdf_Click);
    button(cmdClose, "cmdClose", QStringLiteral("&Close"), QStringLiteral("Return to main screen"),
           QRect(786, 326, 106, 34), &frmSummary::cmdClose_Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menus);
    layout->addWidget(form);
    form->resize(kDesignSize);
    m_scaler = new FormScaler(form, kDesignSize);
    m_scaler->capture();
    resize(kDesignSize.width(), kDesignSize.height() + menus->sizeHint().height());
}

const ResultGrid& frmSummary::grid() const {
    return m_model->grid();
}

bool frmSummary::build() {
    Expected<RaceSummary> summary = [&]() {
        BusyCursor busy;
        return buildRaceSummary(m_results.state(), m_results.stats(), m_results.now());
    }();
    if (!summary) {
        m_results.inform(this, {summary.error()});
        return false;
    }
    m_model->setGrid(std::move(summary.value().grid));
    txtHeader->setPlainText(
        summary.value().header.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_title = m_results.state().RaceTitle;
    Form_Resize();
    return true;
}

void frmSummary::showSummaryFile(const SummaryFileContent& file, const QString& fileName) {
    m_model->setGrid(file.grid);
    m_fileName = fileName;
    m_title = file.title;
    txtHeader->setPlainText(file.title);
    setWindowTitle(fileName);
    cmdViewLaps->setEnabled(false);
    cmdSave->setEnabled(false);
    // Saving a file's summary again would clear the race's own unsaved mark.
    mnuSave->setEnabled(false);
    Form_Resize();
}

bool frmSummary::eventFilter(QObject* watched, QEvent* event) {
    // The scaler has placed the grid by now, so the widths follow its new size.
    if (watched == grdGrid &&
        (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)) {
        Form_Resize();
    }
    return QDialog::eventFilter(watched, event);
}

void frmSummary::Form_Resize() {
    const std::array<int, kSummaryColumns> twips =
        summaryColumnTwips(grdGrid->twipsOfPixels(width()));
    std::vector<int> widths;
    for (int t : twips) {
        widths.push_back(grdGrid->pixelsOfTwips(t));
    }
    grdGrid->setColumnWidths(widths);
}

void frmSummary::cmdViewLaps_Click() {
    m_next = ResultsWindow::LapTimes;
    accept();
}

void frmSummary::cmdClose_Click() {
    m_next = ResultsWindow::None;
    accept();
}

void frmSummary::mnuOpen_Click() {
    if (m_results.chooseAndRead(this)) {
        m_next = ResultsWindow::Opened;
        accept();
    }
}

void frmSummary::cmdSave_Click() {
    RaceState& state = m_results.state();
    ensureRaceDateTime(state, m_results.now());
    const QString name =
        m_results.chooseSaveName(this, QString::fromUtf16(kSaveSummaryTitle),
                                 proposedSummaryFileName(m_results.folder(), state.RaceDateTime),
                                 QString::fromUtf16(kSaveSummaryFilter));
    if (name.isEmpty()) {
        return;
    }
    SaveReport report = [&]() {
        BusyCursor busy;
        return saveSummary(state, m_results.stats(), grid(), name);
    }();
    m_results.inform(this, report.messages);
}

Printout frmSummary::printout() const {
    return summaryPrintout(grid(), m_title, m_results.now());
}

QString frmSummary::proposedPdf() {
    if (!m_fileName.isEmpty()) {
        const QFileInfo file(m_fileName);
        return file.dir().filePath(file.completeBaseName() + QStringLiteral(".pdf"));
    }
    ensureRaceDateTime(m_results.state(), m_results.now());
    return proposedSummaryFileName(m_results.folder(), m_results.state().RaceDateTime) +
           QStringLiteral(".pdf");
}

void frmSummary::cmdPrint_Click() {
    m_results.print(this, printout(), proposedPdf());
}

void frmSummary::cmdSavePdf_Click() {
    m_results.saveAsPdf(this, printout(), proposedPdf());
}

}  // namespace lapdeck
