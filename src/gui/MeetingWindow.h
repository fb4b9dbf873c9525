#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QDialog>
#include <QPointer>
#include <QString>

#include "HeatPlan.h"
#include "Meeting.h"
#include "MeetingPace.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTimer;

namespace lapdeck {

class ConfigStore;
class LiveResults;
class MeetingCallBoard;
class Prompter;
class RaceEngine;
class RacePort;
class RaceRecords;
class RaceSetup;
class ResultsWindows;
class SpeechEngine;
struct RaceState;
struct TextTable;

// A race meeting run from the race screen: its setup (classes, entries, rounds,
// ranking, mains), the schedule, each round's standings, the qualifying ranking and
// the final results, with their printouts, PDFs and CSV files. "Load next heat"
// puts the heat's racers on the flags and its length in force as the name pickers
// and Race Format do; the race is started with Start; a heat started so is taken
// into the meeting from its race folder once the organiser accepts it. It stays
// open beside the race screen (not modal), following the race.
class MeetingWindow : public QDialog {
    Q_OBJECT

public:
    struct Parts {
        RaceState& state;
        ConfigStore& config;
        RaceSetup& setup;
        RaceEngine& engine;
        RacePort& port;
        RaceRecords& records;
        ResultsWindows& results;
        Prompter& prompter;
        SpeechEngine* speech;  // null: the calls are only shown
    };
    // Milliseconds of a steady clock, for the countdown.
    using Clock = std::function<int64_t()>;

    // `raceScreen` is where the next heat is shown large; `redraw` draws it.
    MeetingWindow(Parts parts, Clock clock, std::function<void()> redraw, QWidget* raceScreen,
                  QWidget* parent);
    ~MeetingWindow() override;

    // Shows the meeting held here on the live results page from now on, and nothing
    // of it once this window is gone. Null: not shown.
    void showOnLivePage(LiveResults* live);

    const Meeting& meeting() const { return m_meeting; }
    const QString& filePath() const { return m_path; }
    MeetingPlan plan() const;

    // The meeting in a file; false (after saying why) when it cannot be read.
    bool openMeeting(const QString& path);
    // Asks for the name of a new meeting of today.
    void newMeeting();
    void addClass();
    void enterRacer();
    void withdrawRacer();
    void moveRacer();
    void loadNextHeat();
    void acceptResult();
    void dropStart();
    void runAgain();
    // Follows the race on screen (a heat started, a heat over) and the countdown.
    void followRace();
    void adjustPace(int seconds);
    void printTable();
    void savePdf();
    void saveCsv();

    // The controls, by the names tests use.
    QTabWidget* tabs = nullptr;
    QComboBox* cmbMeetings = nullptr;
    QLineEdit* txtName = nullptr;
    QDateEdit* dateMeeting = nullptr;
    QSpinBox* spnRounds = nullptr;
    QComboBox* cmbRanking = nullptr;
    QSpinBox* spnCounted = nullptr;
    QComboBox* cmbRoundOne = nullptr;
    QSpinBox* spnMains = nullptr;
    QSpinBox* spnBumpUps = nullptr;
    QTableWidget* tblClasses = nullptr;
    QLineEdit* txtClass = nullptr;
    QComboBox* cmbLengthKind = nullptr;
    QComboBox* cmbLength = nullptr;
    QTableWidget* tblEntries = nullptr;
    QComboBox* cmbRacer = nullptr;
    QComboBox* cmbEntryClass = nullptr;
    QTableWidget* tblSchedule = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdLoadNext = nullptr;
    QPushButton* cmdAccept = nullptr;
    QPushButton* cmdDrop = nullptr;
    QPushButton* cmdRunAgain = nullptr;
    QCheckBox* chkPace = nullptr;
    QSpinBox* spnGap = nullptr;
    QLabel* lblCountdown = nullptr;
    QComboBox* cmbClass = nullptr;
    QSpinBox* spnRound = nullptr;
    QTableWidget* tblRound = nullptr;
    QTableWidget* tblQualifying = nullptr;
    QTableWidget* tblMains = nullptr;
    QTableWidget* tblFinal = nullptr;
    QPointer<MeetingCallBoard> callBoard;

private:
    QWidget* buildSetup();
    QWidget* buildSchedule();
    QWidget* buildResultsTab(QTableWidget*& table, const char* name);
    QWidget* buildMainsTab();
    // Applies `edit` to a copy; kept and saved only when the meeting still holds.
    bool change(const std::function<std::optional<QString>(Meeting&)>& edit);
    bool save();
    void refresh();
    void showSetup();
    void showTable(QTableWidget* table, const TextTable& text);
    std::optional<TextTable> currentTable() const;
    std::optional<TextTable> currentTableOf(int tab) const;
    QString heading() const;
    QString proposedFile(const QString& suffix) const;
    bool raceOnScreen(const HeatRun& run) const;
    bool raceOn() const;
    const PlannedHeat* selectedHeat(const MeetingPlan& plan) const;
    void heatEnded();
    void call(const PlannedHeat& heat, bool speak);
    void inform(const QString& text);
    std::vector<QDateTime> startsOf(const MeetingPlan& planned) const;
    void tellLive();

    Parts m_parts;
    Clock m_clock;
    std::function<void()> m_redraw;
    Meeting m_meeting;
    QString m_path;
    // The heat whose racers are on the flags, until its race starts.
    std::optional<HeatKey> m_loaded;
    bool m_overSeen = false;
    HeatCountdown m_countdown;
    QTimer* m_follow = nullptr;
    bool m_filling = false;  // controls being set from the meeting
    QPointer<LiveResults> m_live;
    qint64 m_liveMinute = 0;  // planned starts move on with the clock
};

}  // namespace lapdeck
