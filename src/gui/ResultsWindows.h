#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

#include "ResultFileIo.h"
#include "ResultsServices.h"

class QWidget;

namespace lapdeck {

class MarshalDesk;
class MessageBoxPrompter;
class ResultsDialog;
class frmSummary;
struct Printout;
struct RaceState;
struct SummaryStats;

// Which results window comes next when one closes.
enum class ResultsWindow { None, LapTimes, Summary, Opened };

// The lap table and summary windows over one race state, and the Open command
// that shows saved files in them. The main window has one over the live race; a
// race recovered from its journal can have its own.
class ResultsWindows {
public:
    // `folder` is where files are proposed to be saved.
    ResultsWindows(RaceState& state, SummaryStats& stats, QString folder, ResultsServices services,
                   QWidget* parent);
    ~ResultsWindows();

    // "Lap Times": the lap table of the race, modal ("Insufficient data to view
    // Laps" when a race has no positions).
    void showLapTimes();
    // "Summary": the race summary, modal.
    void showSummary();
    // "Open": a lap file into the lap window (modal), a summary file into the
    // summary window (left open beside the main window), a text file to the
    // desktop's viewer. A file that cannot be read is explained; nothing changes.
    void openFile();

    // The marshal's desk over the race state; null where the race cannot be corrected.
    void setDesk(MarshalDesk* desk) { m_desk = desk; }
    MarshalDesk* desk() const { return m_desk; }

    // The summary file window left open by Open, if any.
    frmSummary* openedSummary() const;

    // For the windows.
    RaceState& state() { return m_state; }
    SummaryStats& stats() { return m_stats; }
    const QString& folder() const { return m_folder; }
    QDateTime now() const;
    Prompter& prompter(QWidget* over);
    void inform(QWidget* over, const std::vector<ResultMessage>& messages);
    QString chooseSaveName(QWidget* over, const QString& title, const QString& proposed,
                           const QString& filter);
    // Open from a results window: true when a file was read that the window is to
    // make way for.
    bool chooseAndRead(QWidget* over);
    FileChooser& files() { return *m_services.files; }
    // On the default printer; where that fails, offers a PDF instead.
    void print(QWidget* over, const Printout& printout, const QString& proposedPdf);
    void saveAsPdf(QWidget* over, const Printout& printout, const QString& proposedPdf);
    // A window opened from a results window, modal (tests use it as a user would).
    void runDialog(QDialog& window) { runModal(window); }

private:
    void run(ResultsWindow first);
    ResultsWindow runBuilt(ResultsDialog& window);
    ResultsWindow runLapTimes();
    ResultsWindow runSummary();
    ResultsWindow runOpened();
    void runModal(QDialog& window);
    void closeOpenedSummary();

    RaceState& m_state;
    SummaryStats& m_stats;
    QString m_folder;
    ResultsServices m_services;
    QWidget* m_parent;
    std::unique_ptr<MessageBoxPrompter> m_ownPrompter;
    std::unique_ptr<FileChooser> m_ownFiles;
    std::unique_ptr<PagePrinter> m_ownPrinter;
    std::unique_ptr<DesktopOpener> m_ownDesktop;
    std::optional<OpenedResult> m_pending;
    QPointer<frmSummary> m_openedSummary;
    MarshalDesk* m_desk = nullptr;
    QObject m_alive;  // what deferred calls hang on, so none outlives this
};

}  // namespace lapdeck
