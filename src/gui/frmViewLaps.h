#pragma once

#include <QDialog>

#include "ResultsWindows.h"

class QAction;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;

namespace lapdeck {

class ResultGridModel;
class ResultTableView;
struct LapFileContent;

// The lap table window: every lap of the race by flag, in lap order or each flag's
// laps fastest first, or a lap file read back.
class frmViewLaps : public QDialog {
    Q_OBJECT

public:
    frmViewLaps(ResultsWindows& results, QWidget* parent = nullptr);

    // Builds the table from the race state; false (after the message) when the race
    // has no positions yet.
    bool build();
    // Shows a lap file read back; Sort, View Summary and Save are then disabled.
    void showLapFile(const LapFileContent& file, const QString& fileName);
    // The window to show once this one has closed.
    ResultsWindow next() const { return m_next; }
    const ResultGrid& grid() const;

    void cmdSummary_Click();
    void cmdClose_Click();
    void cmdPrint_Click();
    void cmdSave_Click();
    void cmdSavePdf_Click();
    void mnuOpen_Click();
    void mnuSortByLapTime_Click();
    void mnuSortByLap_Click();

    ResultTableView* grdGrid = nullptr;
    QProgressBar* PrgBar1 = nullptr;
    QLineEdit* txtHeader = nullptr;
    QPushButton* cmdSummary = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdSavePdf = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuSavePdf = nullptr;
    QAction* mnuClose = nullptr;
    QMenu* mnuSort = nullptr;
    QAction* mnuSortByLapTime = nullptr;
    QAction* mnuSortByLap = nullptr;

private:
    void SizeCells();
    void sortBy(bool byLapTime, const QString& message);
    Printout printout() const;
    QString proposedPdf();

    ResultsWindows& m_results;
    ResultGridModel* m_model = nullptr;
    QString m_fileName;  // the lap file shown, empty for the race's own table
    ResultsWindow m_next = ResultsWindow::None;
};

}  // namespace lapdeck
