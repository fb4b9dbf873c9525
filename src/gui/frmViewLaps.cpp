#include "frmViewLaps.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "BusyCursor.h"
#include "LapFile.h"
#include "LapTable.h"
#include "Printout.h"
#include "RaceState.h"
#include "ResultGridModel.h"
#include "ResultTableView.h"

namespace lapdeck {
namespace {

constexpr int kLabelColumnTwips = 510;
constexpr int kFlagColumnTwips = 1375;

QPushButton* button(const char* name, const QString& caption, const QString& tip) {
    auto* b = new QPushButton(caption);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

frmViewLaps::frmViewLaps(ResultsWindows& results, QWidget* parent)
    : QDialog(parent), m_results(results) {
    setObjectName(QStringLiteral("frmViewLaps"));
    setWindowTitle(QStringLiteral("View Lap Times"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    auto* menus = new QMenuBar(this);
    auto item = [this](QMenu* menu, const char* name, const QString& caption, auto slot) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuFile = menus->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuOpen = item(mnuFile, "mnuOpen", QStringLiteral("&Open"), [this]() { mnuOpen_Click(); });
    mnuSave = item(mnuFile, "mnuSave", QStringLiteral("&Save"), [this]() { cmdSave_Click(); });
    mnuPrint = item(mnuFile, "mnuPrint", QStringLiteral("&Print"), [this]() { cmdPrint_Click(); });
    mnuSavePdf = item(mnuFile, "mnuSavePdf", QStringLiteral("Save as P&DF..."),
                      [this]() { cmdSavePdf_Click(); });
    mnuClose = item(mnuFile, "mnuClose", QStringLiteral("&Close"), [this]() { cmdClose_Click(); });
    mnuSort = menus->addMenu(QStringLiteral("Sor&t"));
    mnuSort->setObjectName(QStringLiteral("mnuSort"));
    mnuSortByLapTime = item(mnuSort, "mnuSortByLapTime", QStringLiteral(" By Lap &Time"),
                            [this]() { mnuSortByLapTime_Click(); });
    mnuSortByLap = item(mnuSort, "mnuSortByLap", QStringLiteral(" By &Lap"),
                        [this]() { mnuSortByLap_Click(); });

    txtHeader = new QLineEdit;
    txtHeader->setObjectName(QStringLiteral("txtHeader"));
    txtHeader->setFont(fixed);
    m_model = new ResultGridModel(kLapGridHeaderRows, this);
    grdGrid = new ResultTableView(m_model);
    grdGrid->setObjectName(QStringLiteral("grdGrid"));
    grdGrid->setFont(fixed);
    PrgBar1 = new QProgressBar;
    PrgBar1->setObjectName(QStringLiteral("PrgBar1"));
    PrgBar1->hide();

    cmdSummary = button("cmdSummary", QStringLiteral("&View Summary"), QString());
    cmdSave = button("cmdSave", QStringLiteral("&Save"), QStringLiteral("Save Lap Times to file"));
    cmdPrint =
        button("cmdPrint", QStringLiteral("&Print Laps"), QStringLiteral("Print lap times  "));
    cmdSavePdf = button("cmdSavePdf", QStringLiteral("Save as P&DF"),
                        QStringLiteral("Save the printed lap times as a PDF file"));
    cmdClose =
        button("cmdClose", QStringLiteral("&Close"), QStringLiteral("Return to main screen"));
    connect(cmdSummary, &QPushButton::clicked, this, &frmViewLaps::cmdSummary_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmViewLaps::cmdSave_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmViewLaps::cmdPrint_Click);
    connect(cmdSavePdf, &QPushButton::clicked, this, &frmViewLaps::cmdSavePdf_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmViewLaps::cmdClose_Click);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdSummary, cmdSave, cmdPrint, cmdSavePdf}) {
        buttons->addWidget(b);
    }
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    layout->addWidget(txtHeader);
    layout->addWidget(grdGrid, 1);
    layout->addWidget(PrgBar1);
    layout->addLayout(buttons);
    resize(660, 600);
    grdGrid->setFocus();
}

const ResultGrid& frmViewLaps::grid() const {
    return m_model->grid();
}

bool frmViewLaps::build() {
    RaceState& state = m_results.state();
    Expected<LapTable> table = [&]() {
        BusyCursor busy;
        PrgBar1->setRange(0, 0);
        PrgBar1->show();
        Expected<LapTable> built = buildLapTable(state);
        PrgBar1->hide();
        return built;
    }();
    if (!table) {
        m_results.inform(this, {table.error()});
        return false;
    }
    m_model->setGrid(std::move(table.value().grid));
    txtHeader->setText(table.value().header);
    setWindowTitle(table.value().caption);
    mnuSortByLap->setEnabled(state.SortByLapTime);
    mnuSortByLapTime->setEnabled(!state.SortByLapTime);
    SizeCells();
    return true;
}

void frmViewLaps::showLapFile(const LapFileContent& file, const QString& fileName) {
    ResultGrid grid = file.grid;
    // A fresh window's grid is longer than most files; the file fills its top rows.
    if (grid.rowCount() < kLapGridDesignRows) {
        grid.setRowCount(kLapGridDesignRows);
    }
    m_model->setGrid(std::move(grid));
    m_fileName = fileName;
    txtHeader->setText(file.title);
    setWindowTitle(fileName);
    mnuSort->menuAction()->setEnabled(false);
    cmdSummary->setEnabled(false);
    cmdSave->setEnabled(false);
    // Saving a file's table again would clear the race's own unsaved mark.
    mnuSave->setEnabled(false);
    SizeCells();
}

void frmViewLaps::SizeCells() {
    std::vector<int> widths(kLapGridColumns, grdGrid->pixelsOfTwips(kFlagColumnTwips));
    widths[0] = grdGrid->pixelsOfTwips(kLabelColumnTwips);
    grdGrid->setColumnWidths(widths);
}

void frmViewLaps::sortBy(bool byLapTime, const QString& message) {
    m_results.state().SortByLapTime = byLapTime;
    build();
    m_results.prompter(this).inform(QStringLiteral("Sort"), message, Icon::None);
    mnuSortByLapTime->setEnabled(!byLapTime);
    mnuSortByLap->setEnabled(byLapTime);
}

void frmViewLaps::mnuSortByLapTime_Click() {
    sortBy(true, QStringLiteral("Sorted by Lap Time"));
}

void frmViewLaps::mnuSortByLap_Click() {
    sortBy(false, QStringLiteral("Sorted by Lap"));
}

void frmViewLaps::cmdSummary_Click() {
    m_next = ResultsWindow::Summary;
    accept();
}

void frmViewLaps::cmdClose_Click() {
    m_next = ResultsWindow::None;
    accept();
}

void frmViewLaps::mnuOpen_Click() {
    if (m_results.chooseAndRead(this)) {
        m_next = ResultsWindow::Opened;
        accept();
    }
}

void frmViewLaps::cmdSave_Click() {
    RaceState& state = m_results.state();
    ensureRaceDateTime(state, m_results.now());
    const QString headerLine = txtHeader->text();
    const QString name =
        m_results.chooseSaveName(this, QString::fromUtf16(kSaveLapsTitle),
                                 proposedLapFileName(m_results.folder(), state.RaceDateTime),
                                 QString::fromUtf16(kSaveLapsFilter));
    if (name.isEmpty()) {
        return;
    }
    SaveReport report = [&]() {
        BusyCursor busy;
        return saveLapTable(state, headerLine, grid(), name);
    }();
    m_results.inform(this, report.messages);
}

Printout frmViewLaps::printout() const {
    // A file shown prints what it holds; the race's table prints the race in lap order.
    return m_fileName.isEmpty() ? lapPrintout(m_results.state()) : lapPrintout(grid());
}

QString frmViewLaps::proposedPdf() {
    if (!m_fileName.isEmpty()) {
        const QFileInfo file(m_fileName);
        return file.dir().filePath(file.completeBaseName() + QStringLiteral(".pdf"));
    }
    ensureRaceDateTime(m_results.state(), m_results.now());
    return proposedLapFileName(m_results.folder(), m_results.state().RaceDateTime) +
           QStringLiteral(".pdf");
}

void frmViewLaps::cmdPrint_Click() {
    m_results.print(this, printout(), proposedPdf());
}

void frmViewLaps::cmdSavePdf_Click() {
    m_results.saveAsPdf(this, printout(), proposedPdf());
}

}  // namespace lapdeck
