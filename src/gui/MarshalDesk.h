#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QObject>
#include <QString>
#include <QStringList>

#include "Corrections.h"
#include "ReplayRun.h"

class QKeyEvent;

namespace lapdeck {

class RaceEngine;
struct RaceState;

// The marshal's desk: the changes an organiser makes to the race on screen (a missed
// crossing added, a double count voided, a crossing given to another flag), each put
// on the race's record at once, and the race re-scored from the journal with the
// record applied, so the screen, the windows, the files and the printouts all show
// the corrected race. Open after a race and while it is paused; two keys per flag
// work while it runs.
class MarshalDesk : public QObject {
    Q_OBJECT

public:
    // `raceFolder` tells the folder of the race on screen (empty: none).
    MarshalDesk(RaceState& state, RaceEngine& engine, std::function<QString()> raceFolder,
                QObject* parent = nullptr);
    ~MarshalDesk() override;

    // Paused or over, with a record to correct.
    bool isOpen() const;
    // Reads the race's record afresh and works out its laps' crossings; the problem
    // when the race cannot be corrected.
    std::optional<QString> refresh();
    // Which crossing ended which lap, as the last re-scoring counted them.
    const CrossingLog& crossings() const { return m_log; }
    // The crossing that ended lap `lap` of `flag`, and the one before it (the green
    // light for the first); nothing for a lap not counted.
    std::optional<int32_t> lapEnd(int flag, int lap) const;
    std::optional<int32_t> lapStart(int flag, int lap) const;

    const std::vector<Correction>& changes() const;
    std::vector<bool> inForce() const;
    int changesInForce() const;
    bool canUndo() const;
    bool canRedo() const;
    // "Corrected: 3 changes"; empty when none is in force.
    QString correctedText() const;
    // The list that ends a corrected race's printouts; empty without changes.
    QStringList changeLines() const;

    // Reads the race's record (no re-scoring): its changes for the windows.
    std::optional<QString> readRecord();

    // Each puts its changes on the record and re-scores; the problem when refused.
    std::optional<QString> make(std::vector<Correction> changes);
    // Lap `lap` of `flag` was `parts` laps: parts - 1 crossings, spaced equally.
    std::optional<QString> splitLap(int flag, int lap, int parts, const QString& reason);
    // The crossing that ended the lap was none.
    std::optional<QString> voidLap(int flag, int lap, const QString& reason);
    // The crossing that ended the lap was flag `to`'s.
    std::optional<QString> giveLap(int flag, int lap, int to, const QString& reason);
    std::optional<QString> addCrossing(int flag, int32_t clock, const QString& reason);
    // A crossing the minimum lap time kept out counts: the counted one before it
    // (within the minimum lap time) was none.
    std::optional<QString> countDropped(const LoggedCrossing& dropped, const QString& reason);
    std::optional<QString> giveCrossing(const LoggedCrossing& crossing, int to,
                                        const QString& reason);
    // The counted crossing of the flag before `dropped`; nothing when there is none.
    std::optional<int32_t> crossingBefore(const LoggedCrossing& dropped) const;
    std::optional<QString> undo();
    std::optional<QString> redo();

    // Shift + digit: the flag's missed lap, now; Ctrl + digit: the flag's last counted
    // crossing was none. True when the key was the desk's.
    bool handleKey(const QKeyEvent& event);
    std::optional<QString> missedLapNow(int flag);
    std::optional<QString> voidLastCrossing(int flag);

signals:
    // The race was re-scored or the record changed: windows redraw.
    void changed();
    // A change the organiser asked for by key could not be made.
    void refused(const QString& why);

private:
    std::optional<QString> load();
    std::optional<QString> scoreInto(RaceState& state);
    std::optional<QString> rescore();

    RaceState& m_state;
    RaceEngine& m_engine;
    std::function<QString()> m_raceFolder;
    RaceCorrections m_record;
    CrossingLog m_log;
};

// Reads a race time typed as the desk shows them ("1:02:03.456", "1:02.345") or in
// seconds ("62.345"); nothing for other text.
std::optional<int32_t> parseRaceTime(const QString& text);

}  // namespace lapdeck
