#pragma once

#include <optional>

#include "ResultsDialog.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;

namespace lapdeck {

class MarshalDesk;
struct LapFileContent;
struct LoggedCrossing;

// The lap table window: every lap of the race by flag, in lap order or each flag's
// laps fastest first, or a lap file read back. After a race and while it is paused
// it is the marshal's desk: suspect laps are marked, the crossings the minimum lap
// time kept out are listed, and a lap's context menu corrects it.
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
    void mnuUndo_Click();
    void mnuRedo_Click();
    void mnuChanges_Click();

    // The desk's actions on a lap cell (a model index of the grid), the fitting one
    // first; none where the desk is closed or the cell is no lap.
    QList<QAction*> lapActions(const QModelIndex& cell, QObject* owner);
    // The actions on a crossing of the dropped list.
    QList<QAction*> droppedActions(int item, QObject* owner);

    QProgressBar* PrgBar1 = nullptr;
    QLineEdit* txtHeader = nullptr;
    QPushButton* cmdSummary = nullptr;
    QMenu* mnuSort = nullptr;
    QAction* mnuSortByLapTime = nullptr;
    QAction* mnuSortByLap = nullptr;
    QMenu* mnuMarshal = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QAction* mnuChanges = nullptr;
    QLabel* lblCorrected = nullptr;
    QLabel* lblDropped = nullptr;
    QListWidget* lstDropped = nullptr;

private:
    MarshalDesk* desk() const;
    bool deskOpen() const;
    bool buildTable();
    // Marks, dropped crossings, the corrected line and the desk's menu, after the
    // table has been built.
    void showDesk(const std::optional<QString>& problem = std::nullopt);
    // Applies a change the organiser has confirmed, and shows the race it makes.
    void apply(const std::optional<QString>& refused);
    int lapOfRow(int modelRow) const;
    void SizeCells();
    int m_lapRows = 0;
    void sortBy(bool byLapTime, const QString& message);
    Printout printout() const override;
};

}  // namespace lapdeck
