#include "ReplayRun.h"

#include <algorithm>
#include <cstdint>

#include <QStringList>

#include "RaceEngine.h"

namespace lapdeck {
namespace {

// A recorded race was run by an organiser who went on past every question.
class ReplayPrompter : public Prompter {
public:
    QStringList messages;
    Answer ask(const QString&, const QString&, Icon, bool) override { return Answer::Yes; }
    void inform(const QString& title, const QString& text, Icon) override {
        messages << (title.isEmpty() ? text : title + QStringLiteral(": ") + text);
    }
};

// The demo generator never runs in a replay: the journal holds every report.
class NoRandom : public RandomSource {
public:
    double next() override { return 0.0; }
};

class ReplayHost : public RaceHost {
public:
    ReplayHost(const PerFlag<QString>& names, LagColumn lagMode)
        : m_names(names), m_lagMode(lagMode) {}
    RaceEngine* engine = nullptr;

    // The lights go green the moment they are asked for: race clock 0 is the green light.
    void runStartSequence(bool) override {
        engine->greenLight(nullptr);
        engine->startSequenceClosed();
    }
    PerFlag<QString> loadRacerNames() override { return m_names; }
    LagColumn readLagMode() override { return m_lagMode; }

private:
    const PerFlag<QString>& m_names;
    LagColumn m_lagMode;
};

// The reports of one tick, in journal order.
class TickReports : public ReportSource {
public:
    TickReports(const std::vector<JournalEntry>& entries, size_t& next, int32_t clock)
        : m_entries(entries), m_next(next), m_clock(clock) {}

    bool hasInput() override {
        return m_next < m_entries.size() && m_entries[m_next].clock == m_clock;
    }
    QString read() override { return m_entries[m_next++].text; }

private:
    const std::vector<JournalEntry>& m_entries;
    size_t& m_next;
    int32_t m_clock;
};

constexpr int64_t kTick = 10;
constexpr int64_t kNever = INT64_MAX;
constexpr int64_t kLastClock = 2147483647;

// The smallest race clock at which CheckFinish, run with that clock, could change
// anything without a new report: the ten-second warning, the time up and the
// deadline. (Flags that follow from lap counts are given at the first tick after a
// report, which always runs.)
int64_t nextFinishThreshold(const RaceState& s) {
    int64_t threshold = kNever;
    if (s.IsTimedRace) {
        const int64_t length = static_cast<int64_t>(s.RaceMinutes) * 60000;
        if (s.TenSecondWarned == 0) {
            threshold = std::min(threshold, length - 10000);
        }
        if (!s.CheckeredShown) {
            threshold = std::min(threshold, length);
        }
    }
    if (s.FinishDeadline != kNoDeadline) {
        threshold = std::min(threshold, static_cast<int64_t>(s.FinishDeadline) + 1);
    }
    return threshold;
}

}  // namespace

void runJournal(RaceEngine& engine, const std::vector<JournalEntry>& entries, bool allowJumps) {
    RaceState& s = engine.state();
    size_t next = 0;
    int64_t clock = s.RaceClock;
    bool lastTickRead = true;

    auto tickAt = [&](int64_t at) {
        TickReports reports(entries, next, static_cast<int32_t>(at));
        const size_t before = next;
        engine.Timer1_Timer(static_cast<int32_t>(at - clock), reports);
        clock = at;
        lastTickRead = next != before;
        // Reports of a tick after the race ended are never read.
        while (reports.hasInput()) {
            ++next;
        }
    };

    // The next tick: a multiple of 10 ms or the next journal clock, whichever comes
    // first. Between reports, a stretch of ticks in which CheckFinish can change
    // nothing is run as one tick (its clock text and finish test are the same), so a
    // long quiet gap costs nothing; the first tick after a report is always its own.
    auto step = [&](int64_t journalClock) {
        const int64_t nextMultiple = (clock / kTick + 1) * kTick;
        if (journalClock < nextMultiple) {
            tickAt(journalClock);
            return;
        }
        int64_t to = nextMultiple;
        if (allowJumps && !lastTickRead) {
            // Every skipped tick runs CheckFinish with a clock below the threshold.
            const int64_t threshold = nextFinishThreshold(s);
            const int64_t lastQuiet =
                threshold == kNever ? kNever : ((threshold + kTick - 1) / kTick) * kTick;
            const int64_t beforeJournal =
                journalClock == kNever ? kNever : ((journalClock - 1) / kTick) * kTick;
            const int64_t lastTick = (kLastClock / kTick) * kTick;
            to = std::max(nextMultiple, std::min({lastQuiet, beforeJournal, lastTick}));
        }
        tickAt(to);
    };

    if (!entries.empty() && entries.front().clock == 0) {
        tickAt(0);
    }
    while (next < entries.size() && s.RaceOver == 0) {
        step(entries[next].clock);
    }
    // After the last report the race runs on until it is over.
    auto goesOn = [&]() {
        if (s.RaceOver != 0) {
            return false;
        }
        return (s.IsTimedRace && !s.CheckeredShown) || s.CheckeredShown;
    };
    while (goesOn()) {
        if (nextFinishThreshold(s) == kNever && !lastTickRead) {
            break;  // nothing left that could end it
        }
        if ((clock / kTick + 1) * kTick > kLastClock) {
            break;
        }
        step(kNever);
        if (clock > kLastClock) {
            break;
        }
    }
}

std::optional<QString> rescoreJournal(RaceState& state, const PerFlag<QString>& racerNames,
                                      LagColumn lagMode, const std::vector<JournalEntry>& entries) {
    ReplayHost host(racerNames, lagMode);
    ReplayPrompter prompter;
    NoRandom random;
    RaceEngine engine(state, host, prompter, random);
    host.engine = &engine;
    engine.ReSet();
    // The title keeps its "Demo - ".
    state.Demo = false;
    engine.cmdStart_Click();
    if (state.phase != RacePhase::Racing) {
        QString message = QStringLiteral("the race does not start");
        if (!prompter.messages.isEmpty()) {
            message += QStringLiteral(": ") + prompter.messages.join(QStringLiteral("; "));
        }
        return message;
    }
    runJournal(engine, entries);
    return std::nullopt;
}

}  // namespace lapdeck
