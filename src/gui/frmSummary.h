#pragma once

#include <QDialog>

#include "ResultsWindows.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace lapdeck {

class FormScaler;
class ResultGridModel;
class ResultTableView;
struct SummaryFileContent;

// The race summary window: one row per flag with laps, times, gaps, best, average
// and median laps and crashes, or a summary file read back.
class frmSummary : public QDialog {
    Q_OBJECT

public:
    frmSummary(ResultsWindows& results, QWidget* parent = nullptr);

    // Builds the summary from the race state; false (after the message) when a race
    // has no positions.
    bool build();
    // Shows a summary file read back; View Laps and Save are then disabled.
    void showSummaryFile(const SummaryFileContent& file, const QString& fileName);
    ResultsWindow next() const { return m_next; }
    const ResultGrid& grid() const;

    void cmdViewLaps_Click();
    void cmdPrint_Click();
    void cmdSave_Click();
    void cmdSavePdf_Click();
    void cmdClose_Click();
    void mnuOpen_Click();

    ResultTableView* grdGrid = nullptr;
    QPlainTextEdit* txtHeader = nullptr;
    QPushButton* cmdViewLaps = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdSavePdf = nullptr;
    QPushButton* cmdClose = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuSavePdf = nullptr;
    QAction* mnuClose = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Resize();
    Printout printout() const;
    QString proposedPdf();

    ResultsWindows& m_results;
    ResultGridModel* m_model = nullptr;
    FormScaler* m_scaler = nullptr;
    QString m_title;     // the race title the printout carries
    QString m_fileName;  // the summary file shown, empty for the race's own summary
    ResultsWindow m_next = ResultsWindow::None;
};

}  // namespace lapdeck
