#include "frmViewLaps.h"

#include <algorithm>

#include <QAction>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "BusyCursor.h"
#include "Corrections.h"
#include "CsvExport.h"
#include "LapChecks.h"
#include "LapFile.h"
#include "LapTable.h"
#include "MarshalDesk.h"
#include "Printout.h"
#include "RaceState.h"
#include "ResultCsv.h"
#include "ResultGridModel.h"
#include "ResultTableView.h"
#include "frmChanges.h"
#include "frmMarshalChange.h"

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
    mnuMarshal = menus()->addMenu(QStringLiteral("&Marshal"));
    mnuMarshal->setObjectName(QStringLiteral("mnuMarshal"));
    mnuUndo = addItem(mnuMarshal, "mnuUndo", QStringLiteral("&Undo change"),
                      [this]() { mnuUndo_Click(); });
    mnuUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuRedo = addItem(mnuMarshal, "mnuRedo", QStringLiteral("&Redo change"),
                      [this]() { mnuRedo_Click(); });
    mnuRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    mnuChanges = addItem(mnuMarshal, "mnuChanges", QStringLiteral("&Changes..."),
                         [this]() { mnuChanges_Click(); });
    // The menu bar is inside the dialog: its shortcuts work wherever the focus is.
    for (QAction* a : {mnuUndo, mnuRedo}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }

    txtHeader = new QLineEdit;
    txtHeader->setObjectName(QStringLiteral("txtHeader"));
    txtHeader->setFont(fixed);
    grdGrid->setFont(fixed);
    PrgBar1 = new QProgressBar;
    PrgBar1->setObjectName(QStringLiteral("PrgBar1"));
    PrgBar1->hide();
    lblCorrected = new QLabel;
    lblCorrected->setObjectName(QStringLiteral("lblCorrected"));
    lblCorrected->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    lblDropped =
        new QLabel(QStringLiteral("Dropped by the minimum lap time (right-click to give "
                                  "one back):"));
    lblDropped->setObjectName(QStringLiteral("lblDropped"));
    lstDropped = new QListWidget;
    lstDropped->setObjectName(QStringLiteral("lstDropped"));
    lstDropped->setMaximumHeight(90);
    lstDropped->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstDropped, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu;
        menu.addActions(droppedActions(lstDropped->row(lstDropped->itemAt(at)), &menu));
        if (!menu.isEmpty()) {
            menu.exec(lstDropped->viewport()->mapToGlobal(at));
        }
    });
    grdGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grdGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu;
        menu.addActions(lapActions(grdGrid->indexAt(at), &menu));
        if (!menu.isEmpty()) {
            menu.exec(grdGrid->viewport()->mapToGlobal(at));
        }
    });
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
    auto* top = new QHBoxLayout;
    top->addWidget(txtHeader, 1);
    top->addWidget(lblCorrected);
    layout->addLayout(top);
    layout->addWidget(grdGrid, 1);
    layout->addWidget(lblDropped);
    layout->addWidget(lstDropped);
    layout->addWidget(PrgBar1);
    layout->addLayout(buttons);
    resize(660, 600);
    grdGrid->setFocus();
}

bool frmViewLaps::build() {
    if (!buildTable()) {
        return false;
    }
    std::optional<QString> problem;
    if (deskOpen()) {
        BusyCursor busy;
        problem = desk()->refresh();
    } else if (desk() != nullptr && !m_results.state().SortByLapTime) {
        desk()->readRecord();
    }
    showDesk(problem);
    return true;
}

bool frmViewLaps::buildTable() {
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
    m_lapRows = table.value().lapRows;
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
    showDesk();
    SizeCells();
}

void frmViewLaps::mnuUndo_Click() {
    if (deskOpen() && desk()->canUndo()) {
        apply(desk()->undo());
    }
}

void frmViewLaps::mnuRedo_Click() {
    if (deskOpen() && desk()->canRedo()) {
        apply(desk()->redo());
    }
}

void frmViewLaps::mnuChanges_Click() {
    if (desk() == nullptr) {
        return;
    }
    frmChanges changes(*desk(), this);
    m_results.runDialog(changes);
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
    if (showsFile()) {
        return lapPrintout(grid());
    }
    Printout page = lapPrintout(m_results.state());
    if (desk() != nullptr) {
        appendChanges(page, correctedText(desk()->changesInForce()), desk()->changeLines());
    }
    return page;
}

}  // namespace lapdeck
