#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include <QDate>
#include <QString>
#include <QStringList>

namespace lapdeck {

inline constexpr int kMaxRounds = 6;
inline constexpr int kMaxMains = 9;  // A to I
inline constexpr int kMaxBumpUps = 2;

enum class RoundOneOrder { EntryOrder, Drawn };
enum class RankingRule { BestRound, Points };

// How long a class's heats and mains run: a number of laps or of minutes, taken
// from the lists Race Format offers.
struct RaceLength {
    bool timed = false;
    int value = 10;  // laps, or minutes when timed

    bool operator==(const RaceLength&) const = default;
};

struct MeetingClass {
    QString name;
    RaceLength length;

    bool operator==(const MeetingClass&) const = default;
};

// A roster name racing in one class. A withdrawn entry keeps the results it has.
struct Entry {
    QString name;
    QString className;
    bool withdrawn = false;

    bool operator==(const Entry&) const = default;
};

// A heat of a qualifying round (round 1..6, heat 1..), or a main (round 0, number
// 1 = A main, 2 = B main ...).
struct HeatKey {
    QString className;
    int round = 1;
    int number = 1;

    bool isMain() const { return round == 0; }
    bool operator==(const HeatKey&) const = default;
};

// "Touring round 2 heat 3", "Touring A main".
QString heatTitle(const HeatKey& key);
QString mainLetter(int level);

struct Seat {
    int flag = 1;
    QString name;

    bool operator==(const Seat&) const = default;
};

// One racer's line of a heat's result, as the race summary has it: laps (the
// summary's Total Laps), the race clock of the last counted crossing and the best lap.
struct RacerResult {
    int flag = 1;
    QString name;
    int laps = 0;
    int32_t timeMs = 0;
    int32_t bestLapMs = 999999;

    bool operator==(const RacerResult&) const = default;
};

// More laps first, then the earlier last crossing: the order of the race summary.
bool finishesAhead(const RacerResult& a, const RacerResult& b);

enum class RunStatus { Running, Done, Replaced };

// One running of a heat: who sat on which flag, the race folder it was recorded
// in and, once done, the result in finishing order. A re-run marks the earlier run
// replaced; it stays in the record.
struct HeatRun {
    int id = 0;
    HeatKey key;
    RunStatus status = RunStatus::Running;
    QString raceFolder;
    std::vector<Seat> seats;
    std::vector<RacerResult> results;

    bool operator==(const HeatRun&) const = default;
};

// A race meeting: its classes and entries, how heats, rounds and mains are made,
// and the record of every heat run. The schedule and rankings are worked out from
// this (HeatPlan.h, Ranking.h), never stored.
struct Meeting {
    QString name;
    QDate date;
    int rounds = 3;
    RankingRule ranking = RankingRule::Points;
    int countedRounds = 2;  // points: the best this many rounds count
    RoundOneOrder roundOne = RoundOneOrder::EntryOrder;
    uint32_t drawSeed = 0;  // of a drawn round 1
    int mains = 1;          // 0: no mains, the qualifying ranking is the result
    int bumpUps = 0;
    std::vector<MeetingClass> classes;
    std::vector<Entry> entries;
    std::vector<HeatRun> runs;  // in the order they were started

    const MeetingClass* findClass(const QString& name) const;
    const Entry* findEntry(const QString& name, const QString& className) const;
    const HeatRun* findRun(int id) const;
    const HeatRun* runningRun() const;
    // The run that counts for a heat: its latest that is not replaced.
    const HeatRun* countingRun(const HeatKey& key) const;
    // The names of the class's entries in entry order; withdrawn ones only when asked.
    QStringList entryNames(const QString& className, bool withWithdrawn) const;

    bool operator==(const Meeting&) const = default;
};

// Everything a meeting must hold to be run and stored; the first problem found.
std::optional<QString> checkMeeting(const Meeting& meeting);

// Why a length is not one Race Format offers, or nothing.
std::optional<QString> checkLength(const RaceLength& length);

// Changes to the entries. Heats already run keep their results; the heats not yet
// run are worked out afresh from the entries. Each returns why it was refused.
std::optional<QString> addClass(Meeting& meeting, const MeetingClass& meetingClass);
// A withdrawn entry added again takes its old place.
std::optional<QString> addEntry(Meeting& meeting, const QString& name, const QString& className);
std::optional<QString> withdrawEntry(Meeting& meeting, const QString& name,
                                     const QString& className);
// The entry goes to the end of the new class, as a late entry would.
std::optional<QString> moveEntry(Meeting& meeting, const QString& name, const QString& fromClass,
                                 const QString& toClass);

// Running heats. `seats` are the names on their flags as loaded; only one heat runs
// at a time. Returns the new run's id or why not.
std::variant<int, QString> startHeat(Meeting& meeting, const HeatKey& key,
                                     const std::vector<Seat>& seats, const QString& raceFolder);
// The running heat's result (one line for every seat, any order; it is kept in
// finishing order).
std::optional<QString> finishHeat(Meeting& meeting, int runId, std::vector<RacerResult> results);
// A start that came to nothing (aborted, reset before a result): the run is dropped.
std::optional<QString> abandonHeat(Meeting& meeting, int runId);
// The heat's result is set aside, marked replaced, and the heat waits to be run
// again with the same racers.
std::optional<QString> rerunHeat(Meeting& meeting, const HeatKey& key);

}  // namespace lapdeck
