#pragma once

#include "ResultsDialog.h"

class QLineEdit;
class QProgressBar;

namespace lapdeck {

struct LapFileContent;

// The lap table window: every lap of the race by flag, in lap order or each flag's
// laps fastest first, or a lap file read back.
class frmViewLaps : public ResultsDialog {
    Q_OBJECT

public:
    frmViewLaps(ResultsWindows& results, QWidget* parent = nullptr);

    // Builds the table from the race state; false (after the message) when the race
    // has no positions yet.
    bool build() override;
    // Shows a lap file read back; Sort, View Summary and Save are then disabled.
    void showLapFile(const LapFileContent& file, const QString& fileName);

    void cmdSummary_Click();
    void cmdSave_Click() override;
    void mnuSortByLapTime_Click();
    void mnuSortByLap_Click();

    QProgressBar* PrgBar1 = nullptr;
    QLineEdit* txtHeader = nullptr;
    QPushButton* cmdSummary = nullptr;
    QMenu* mnuSort = nullptr;
    QAction* mnuSortByLapTime = nullptr;
    QAction* mnuSortByLap = nullptr;

private:
    void SizeCells();
    void sortBy(bool byLapTime, const QString& message);
    Printout printout() const override;
};

}  // namespace lapdeck
