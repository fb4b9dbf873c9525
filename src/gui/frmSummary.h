#pragma once

#include "ResultsDialog.h"

class QLabel;
class QPlainTextEdit;

namespace lapdeck {

class FormScaler;
struct SummaryFileContent;

// The race summary window: one row per flag with laps, times, gaps, best, average
// and median laps and crashes, or a summary file read back. A race corrected at the
// marshal's desk says so, and how many suspect laps each flag has.
class frmSummary : public ResultsDialog {
    Q_OBJECT

public:
    frmSummary(ResultsWindows& results, QWidget* parent = nullptr);

    // Builds the summary from the race state; false (after the message) when a race
    // has no positions.
    bool build() override;
    // Shows a summary file read back; View Laps and Save are then disabled.
    void showSummaryFile(const SummaryFileContent& file, const QString& fileName);

    void cmdViewLaps_Click();
    void cmdSave_Click() override;

    QPlainTextEdit* txtHeader = nullptr;
    QPushButton* cmdViewLaps = nullptr;
    QLabel* lblCorrected = nullptr;
    QLabel* lblSuspects = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Resize();
    // "Corrected: n changes" and each flag's suspect laps, for the race's own summary.
    void showDesk(bool race);
    Printout printout() const override;

    FormScaler* m_scaler = nullptr;
    QString m_title;  // the race title the printout carries
};

}  // namespace lapdeck
