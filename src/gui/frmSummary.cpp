#include "frmSummary.h"

#include <QEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "BusyCursor.h"
#include "Corrections.h"
#include "CsvExport.h"
#include "FormScaler.h"
#include "LapChecks.h"
#include "LapTable.h"
#include "MarshalDesk.h"
#include "Printout.h"
#include "RaceState.h"
#include "RaceSummary.h"
#include "ResultCsv.h"
#include "ResultGridModel.h"
#include "ResultTableView.h"
#include "SummaryFile.h"

namespace lapdeck {
namespace {

// The controls are placed for this size and scaled with the window, fonts included.
constexpr QSize kDesignSize(900, 368);
constexpr int kHeadingRows = 2;

ResultsDialog::Texts summaryTexts() {
    ResultsDialog::Texts t;
    t.open = QStringLiteral("Open");
    t.save = QStringLiteral("Save");
    t.print = QStringLiteral("Print");
    t.close = QStringLiteral("Close");
    t.printButton = QStringLiteral("&Print Summary ");
    t.saveTip = QStringLiteral("Save Summary to file");
    t.printTip = QStringLiteral("Print summary");
    t.pdfTip = QStringLiteral("Save the printed summary as a PDF file");
    return t;
}

}  // namespace

frmSummary::frmSummary(ResultsWindows& results, QWidget* parent)
    : ResultsDialog(results, kHeadingRows, summaryTexts(), proposedSummaryFileName, parent) {
    setObjectName(QStringLiteral("frmSummary"));
    setWindowTitle(QStringLiteral("View Summary"));
    mnuFile->insertAction(
        mnuClose, addItem(mnuFile, "mnuExportCsv", QStringLiteral("&Export CSV..."), [this]() {
            exportCsv(this, m_results, summaryGridCsv(grid()), QStringLiteral("Summary"));
        }));

    txtHeader = new QPlainTextEdit;
    txtHeader->setObjectName(QStringLiteral("txtHeader"));
    txtHeader->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtHeader->setReadOnly(true);
    txtHeader->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdGrid->installEventFilter(this);
    lblCorrected = new QLabel;
    lblCorrected->setObjectName(QStringLiteral("lblCorrected"));
    lblCorrected->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    lblSuspects = new QLabel;
    lblSuspects->setObjectName(QStringLiteral("lblSuspects"));
    lblSuspects->setWordWrap(true);
    cmdViewLaps = addButton("cmdViewLaps", QStringLiteral("&View Laps"), QString(),
                            [this]() { cmdViewLaps_Click(); });

    auto* form = new QWidget;
    form->setObjectName(QStringLiteral("summaryForm"));
    const std::pair<QWidget*, QRect> places[] = {
        {txtHeader, QRect(8, 8, 420, 54)},      {grdGrid, QRect(6, 70, 888, 246)},
        {lblCorrected, QRect(440, 8, 450, 20)}, {lblSuspects, QRect(440, 28, 450, 36)},
        {cmdViewLaps, QRect(8, 326, 120, 34)},  {cmdSave, QRect(136, 326, 100, 34)},
        {cmdPrint, QRect(244, 326, 150, 34)},   {cmdSavePdf, QRect(402, 326, 130, 34)},
        {cmdClose, QRect(786, 326, 106, 34)},
    };
    for (const auto& [widget, rect] : places) {
        widget->setParent(form);
        widget->setGeometry(rect);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menus());
    layout->addWidget(form);
    form->resize(kDesignSize);
    m_scaler = new FormScaler(form, kDesignSize);
    m_scaler->capture();
    resize(kDesignSize.width(), kDesignSize.height() + menus()->sizeHint().height());
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
    showDesk(true);
    Form_Resize();
    return true;
}

void frmSummary::showDesk(bool race) {
    MarshalDesk* desk = race ? m_results.desk() : nullptr;
    if (desk != nullptr) {
        desk->readRecord();
    }
    lblCorrected->setText(desk != nullptr ? desk->correctedText() : QString());
    QStringList counts;
    if (desk != nullptr && desk->isOpen()) {
        const RaceState& state = m_results.state();
        for (int k = 1; k <= kFlags; ++k) {
            const int f = lapTableFlag(state, k);
            // A flag without laps has nothing to be suspicious of.
            if (f < 1 || f > kFlags || state.LapCount[f] <= state.FirstLapIndex) {
                continue;
            }
            const auto suspects = static_cast<int>(suspectLaps(state, f).size());
            const QString name = state.RacerName[static_cast<size_t>(f)];
            counts << QStringLiteral("%1 %2")
                          .arg(name.isEmpty() ? QStringLiteral("Flag %1").arg(f) : name)
                          .arg(suspects);
        }
    }
    lblSuspects->setText(counts.isEmpty() ? QString()
                                          : QStringLiteral("Suspect laps: ") +
                                                counts.join(QStringLiteral(", ")));
}

void frmSummary::showSummaryFile(const SummaryFileContent& file, const QString& fileName) {
    m_model->setGrid(file.grid);
    m_title = file.title;
    txtHeader->setPlainText(file.title);
    showingFile(fileName);
    cmdViewLaps->setEnabled(false);
    showDesk(false);
    Form_Resize();
}

bool frmSummary::eventFilter(QObject* watched, QEvent* event) {
    // The scaler has placed the grid by now, so the widths follow its new size.
    if (watched == grdGrid &&
        (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)) {
        Form_Resize();
    }
    return ResultsDialog::eventFilter(watched, event);
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
    closeFor(ResultsWindow::LapTimes);
}

void frmSummary::cmdSave_Click() {
    saveAs(QString::fromUtf16(kSaveSummaryTitle), QString::fromUtf16(kSaveSummaryFilter),
           [this](const QString& name) {
               return saveSummary(m_results.state(), m_results.stats(), grid(), name);
           });
}

Printout frmSummary::printout() const {
    Printout page = summaryPrintout(grid(), m_title, m_results.now());
    if (!showsFile() && m_results.desk() != nullptr) {
        const MarshalDesk& desk = *m_results.desk();
        appendChanges(page, correctedText(desk.changesInForce()), desk.changeLines());
    }
    return page;
}

}  // namespace lapdeck
