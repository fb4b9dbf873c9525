#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include "ResultsServices.h"

class QDialog;
class QWidget;

namespace lapdeck {

class ConfigStore;
class Prompter;
class RaceRecorder;
class ResultsWindows;
struct RaceState;
struct RecordProblem;
struct SummaryStats;

// The record the window keeps of its races (RaceRecorder: a race folder with the
// files in force, the journal, the mark of a race that ended), and the races shown
// from that record: the recovery offered at start-up and File > Open Race. A race
// shown so runs with its own settings until it is reset.
class RaceRecords : public QObject {
    Q_OBJECT

public:
    // `services` and `showModal` serve the windows of a race opened from the archive.
    RaceRecords(RaceState& state, const ConfigStore& config, Prompter& prompter,
                ResultsWindows& results, ResultsServices services,
                std::function<int(QDialog&)> showModal, QWidget* window);
    ~RaceRecords() override;

    RaceRecorder& recorder() { return *m_recorder; }

    // What the race does, as the engine reports it. A problem is told later, from the
    // event loop: these may run inside a race tick.
    void raceStarting(const QDateTime& now);
    void reportRead(int32_t clock, const QString& text);
    // Reports that came during a pause, dropped at Continue: each a comment line of the
    // journal, so the record shows them and no re-scoring counts them.
    void reportsDropped(int32_t clock, const QStringList& texts);
    // Reset, abort, or both results saved: the race needs no recovery.
    void raceEnded();
    // Exit: as raceEnded, the problem told at once (nothing runs after it).
    void raceLeft();
    // Exit asked: outside practice, unsaved results are given up only on Yes (Enter
    // keeps them), and leaving so needs no recovery either. False: staying.
    bool leaveAsked();
    // After a results window: both files saved end the race.
    void resultsMaybeSaved();

    // Offers the races Lapdeck did not see to their end; a recovered race is shown.
    void offerRecovery();
    // File > Open Race: a race of the archive, chosen from a list, shown in lap table
    // and summary windows of its own; the race on screen stays as it is.
    void openRace();

    // A race re-scored from its journal is on screen; the data folder's settings
    // come back at its reset, with the demo mode that was on before it.
    bool recordedShown() const { return m_recordedShown; }
    bool demoBefore() const { return m_demoBefore; }
    void recordedClosed() { m_recordedShown = false; }
    // The race folder of the race on screen (run here, recovered or opened); empty
    // before the first.
    const QString& raceOnScreen() const { return m_onScreen; }

signals:
    // A recorded race replaced the race state: the screen is to be drawn from it.
    void raceShown();

private:
    void show(RaceState& race, const QString& folder);
    int showModal(QDialog& dialog);
    void tellLater(const std::optional<RecordProblem>& problem);

    RaceState& m_state;
    Prompter& m_prompter;
    ResultsWindows& m_results;
    QWidget* m_window;
    std::unique_ptr<RaceRecorder> m_recorder;
    ResultsServices m_services;
    std::function<int(QDialog&)> m_showModal;
    QString m_dataFolder;
    // The race opened from the archive, with the windows over it.
    std::unique_ptr<RaceState> m_opened;
    std::unique_ptr<SummaryStats> m_openedStats;
    std::unique_ptr<ResultsWindows> m_openedWindows;
    bool m_recordedShown = false;
    bool m_demoBefore = false;
    QString m_onScreen;
};

}  // namespace lapdeck
