#include "ReplayRun.h"

#include <algorithm>
#include <cstdint>

#include <QStringList>

#include "RaceEngine.h"
#include "ReportParser.h"

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
    ReplayHost(const PerFlag<QString>& names, LagColumn lagMode, CrossingLog* crossings)
        : m_names(names), m_lagMode(lagMode), m_crossings(crossings) {}
    RaceEngine* engine = nullptr;

    void reportRead(int32_t clock, const QString& text) override {
        if (m_crossings == nullptr) {
            return;
        }
        const int flag = parseReport(text);
        if (flag >= 1 && flag <= kFlags) {
            m_crossings->crossings.push_back({clock, flag, 0});
        }
    }
    // Told right after the report that counted the lap was read.
    void lapCounted(int flag, int lap, int32_t, bool) override {
        if (m_crossings != nullptr && !m_crossings->crossings.empty() &&
            m_crossings->crossings.back().flag == flag) {
            m_crossings->crossings.back().lap = lap;
        }
    }

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
    CrossingLog* m_crossings;
};

// The journal as the engine reads it: the report waiting next, and which reports
// of the current tick the engine is shown.
class JournalReports : public ReportSource {
public:
    JournalReports(JournalSource& journal, bool skipNoise)
        : m_journal(journal), m_skipNoise(skipNoise), m_waiting(journal.next()) {}

    bool waiting() const { return m_waiting; }
    int64_t nextClock() const { return m_journal.clock(); }

    void beginTick(int64_t clock) {
        m_clock = clock;
        m_taken = 0;
    }
    // Reports of the tick taken so far, read or skipped as noise.
    qint64 taken() const { return m_taken; }
    bool hasInput() override {
        while (m_waiting && m_journal.clock() == m_clock) {
            if (!m_skipNoise || !m_readOne || readsAsFlag(m_journal.text())) {
                return true;
            }
            advance();
        }
        return false;
    }
    QString read() override {
        QString text = m_journal.textString();
        m_readOne = true;
        advance();
        return text;
    }
    // Passes over the reports of the current tick unread.
    void dropTick() {
        while (m_waiting && m_journal.clock() == m_clock) {
            m_waiting = m_journal.next();
        }
    }

private:
    void advance() {
        ++m_taken;
        m_waiting = m_journal.next();
    }

    JournalSource& m_journal;
    bool m_skipNoise;
    bool m_waiting;
    bool m_readOne = false;
    int64_t m_clock = -1;
    qint64 m_taken = 0;
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

void runJournal(RaceEngine& engine, JournalSource& journal, ReplayShortcuts shortcuts,
                std::optional<int32_t> until) {
    RaceState& s = engine.state();
    const int64_t stop = until ? int64_t{*until} : kNever;
    JournalReports reports(journal, shortcuts.skipNoise);
    int64_t clock = s.RaceClock;
    bool lastTickRead = true;

    auto tickAt = [&](int64_t at) {
        reports.beginTick(at);
        engine.Timer1_Timer(static_cast<int32_t>(at - clock), reports);
        clock = at;
        lastTickRead = reports.taken() != 0;
        // Reports of a tick after the race ended are never read.
        reports.dropTick();
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
        if (shortcuts.jumpQuietStretches && !lastTickRead) {
            // Every skipped tick runs CheckFinish with a clock below the threshold.
            const int64_t threshold = nextFinishThreshold(s);
            const int64_t lastQuiet =
                threshold == kNever ? kNever : ((threshold + kTick - 1) / kTick) * kTick;
            const int64_t beforeJournal =
                journalClock == kNever ? kNever : ((journalClock - 1) / kTick) * kTick;
            const int64_t lastTick = (kLastClock / kTick) * kTick;
            to = std::max(nextMultiple, std::min({lastQuiet, beforeJournal, lastTick}));
        }
        tickAt(std::min(to, stop));
    };

    if (reports.waiting() && reports.nextClock() == 0) {
        tickAt(0);
    }
    while (reports.waiting() && s.RaceOver == 0 && reports.nextClock() <= stop) {
        step(reports.nextClock());
    }
    if (until) {
        while (s.RaceOver == 0 && clock < stop) {
            step(kNever);
        }
        return;
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

void runJournal(RaceEngine& engine, const std::vector<JournalEntry>& entries,
                ReplayShortcuts shortcuts) {
    QByteArray bytes;
    for (const JournalEntry& entry : entries) {
        bytes += journalLine(entry.clock, entry.text);
    }
    JournalReader journal(std::move(bytes));
    runJournal(engine, journal, shortcuts);
}

std::optional<QString> rescoreJournal(RaceState& state, const PerFlag<QString>& racerNames,
                                      LagColumn lagMode, JournalSource& journal,
                                      CrossingLog* crossings, std::optional<int32_t> until) {
    ReplayHost host(racerNames, lagMode, crossings);
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
    runJournal(engine, journal, {}, until);
    return std::nullopt;
}

}  // namespace lapdeck
