#include "frmViewLaps.h"

#include <algorithm>

#include <QAction>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "BusyCursor.h"
#include "CsvExport.h"
#include "LapFile.h"
#include "LapTable.h"
#include "Printout.h"
#include "RaceState.h"
#include "ResultCsv.h"
#include "ResultGridModel.h"
#include "ResultTableView.h"

namespace lapdeck {
namespace {

constexpr int kLabelColumnTwips = 510;
constexpr int kFlagColumnTwips = 1375;

ResultsDialog::Texts lapTexts() {
    ResultsDialog::Texts t;
    t.open = QStringLiteral("&Open");
    t.save = QStringLiteral("&Save");
    t.print = QStringLiteral("&Print");
    t.close = QStringLiteral("&Close");
    t.printButton = QStringLiteral("&Print Laps");
    t.saveTip = QStringLiteral("Save Lap Times to file");
    t.printTip = QStringLiteral("Print lap times  ");
    t.pdfTip = QStringLiteral("Save the printed lap times as a PDF file");
    return t;
}

}  // namespace

frmViewLaps::frmViewLaps(ResultsWindows& results, QWidget* parent)
    : ResultsDialog(results, kLapGridHeaderRows, lapTexts(), proposedLapFileName, parent) {
    setObjectName(QStringLiteral("frmViewLaps"));
    setWindowTitle(QStringLiteral("View Lap Times"));
    mnuFile->insertAction(
        mnuClose, addItem(mnuFile, "mnuExportCsv", QStringLiteral("&Export CSV..."), [this]() {
            exportCsv(this, m_results, lapGridCsv(grid()), QStringLiteral("Laps"));
        }));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    mnuSort = menus()->addMenu(QStringLiteral("Sor&t"));
    mnuSort->setObjectName(QStringLiteral("mnuSort"));
    mnuSortByLapTime = addItem(mnuSort, "mnuSortByLapTime", QStringLiteral(" By Lap &Time"),
                               [this]() { mnuSortByLapTime_Click(); });
    mnuSortByLap = addItem(mnuSort, "mnuSortByLap", QStringLiteral(" By &Lap"),
                           [this]() { mnuSortByLap_Click(); });

    txtHeader = new QLineEdit;
    txtHeader->setObjectName(QStringLiteral("txtHeader"));
    txtHeader->setFont(fixed);
    grdGrid->setFont(fixed);
    PrgBar1 = new QProgressBar;
    PrgBar1->setObjectName(QStringLiteral("PrgBar1"));
    PrgBar1->hide();
    cmdSummary = addButton("cmdSummary", QStringLiteral("&View Summary"), QString(),
                           [this]() { cmdSummary_Click(); });

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdSummary, cmdSave, cmdPrint, cmdSavePdf}) {
        buttons->addWidget(b);
    }
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menus());
    layout->addWidget(txtHeader);
    layout->addWidget(grdGrid, 1);
    layout->addWidget(PrgBar1);
    layout->addLayout(buttons);
    resize(660, 600);
    grdGrid->setFocus();
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
    txtHeader->setText(file.title);
    showingFile(fileName);
    mnuSort->menuAction()->setEnabled(false);
    cmdSummary->setEnabled(false);
    SizeCells();
}

void frmViewLaps::SizeCells() {
    std::vector<int> widths(kLapGridColumns, grdGrid->pixelsOfTwips(kFlagColumnTwips));
    // The design's label column fits its font's " 3000" only just: the labels the
    // table makes always show whole, while no text of a race or a file widens a column.
    widths[0] = std::max(grdGrid->pixelsOfTwips(kLabelColumnTwips),
                         grdGrid->widthOfTexts({QStringLiteral("Laps"), lapLabel(kMaxLap)}));
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
    closeFor(ResultsWindow::Summary);
}

void frmViewLaps::cmdSave_Click() {
    const QString headerLine = txtHeader->text();
    saveAs(QString::fromUtf16(kSaveLapsTitle), QString::fromUtf16(kSaveLapsFilter),
           [&](const QString& name) {
               return saveLapTable(m_results.state(), headerLine, grid(), name);
           });
}

Printout frmViewLaps::printout() const {
    // A file shown prints what it holds; the race's table prints the race in lap order.
    return showsFile() ? lapPrintout(grid()) : lapPrintout(m_results.state());
}

}  // namespace lapdeck
