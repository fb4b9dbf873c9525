#include "DeskRace.h"

#include <algorithm>
#include <variant>

#include "ConfigStore.h"
#include "RaceEngine.h"

namespace lapdeck {
namespace {

constexpr int64_t kTick = 10;

// A recorded race was run by an organiser who went on past every question.
class YesPrompter : public Prompter {
public:
    QStringList messages;
    Answer ask(const QString&, const QString&, Icon, bool) override { return Answer::Yes; }
    void inform(const QString& title, const QString& text, Icon) override {
        messages << (title.isEmpty() ? text : title + QStringLiteral(": ") + text);
    }
};

class NoRandom : public RandomSource {
public:
    double next() override { return 0.0; }
};

// Starts the race at once and logs which report counted which lap.
class LoggingHost : public RaceHost {
public:
    LoggingHost(const ConfigBundle& config, CrossingLog& log) : m_config(config), m_log(log) {}
    RaceEngine* engine = nullptr;

    void runStartSequence(bool) override {
        engine->greenLight(nullptr);
        engine->startSequenceClosed();
    }
    PerFlag<QString> loadRacerNames() override { return m_config.racerNames; }
    LagColumn readLagMode() override { return m_config.lagMode; }
    void reportRead(int32_t clock, const QString& text) override {
        if (readsAsFlag(text)) {
            m_log.crossings.push_back({clock, text.toInt(), 0});
        }
    }
    // A lap is counted right after its report is read.
    void lapCounted(int flag, int lap, int32_t, bool) override {
        if (!m_log.crossings.empty() && m_log.crossings.back().flag == flag) {
            m_log.crossings.back().lap = lap;
        }
    }

private:
    const ConfigBundle& m_config;
    CrossingLog& m_log;
};

// The reports of one tick out of a list in journal order.
class EntryReports : public ReportSource {
public:
    explicit EntryReports(const std::vector<JournalEntry>& entries) : m_entries(entries) {}
    void beginTick(int64_t clock) { m_clock = clock; }
    bool hasInput() override {
        return m_next < m_entries.size() && m_entries[m_next].clock == m_clock;
    }
    QString read() override { return m_entries[m_next++].text; }
    // Reports of a tick after the race ended are never read.
    void dropTick() {
        while (hasInput()) {
            ++m_next;
        }
    }
    std::optional<int64_t> nextClock() const {
        return m_next < m_entries.size() ? std::optional<int64_t>(m_entries[m_next].clock)
                                         : std::nullopt;
    }

private:
    const std::vector<JournalEntry>& m_entries;
    size_t m_next = 0;
    int64_t m_clock = -1;
};

}  // namespace

std::optional<QString> rescoreUntil(const QString& raceFolder,
                                    const std::vector<JournalEntry>& entries, int32_t until,
                                    RaceState& state, CrossingLog& log) {
    const ConfigStore store(raceFolder);
    auto loaded = store.loadAllStrict();
    if (const ConfigError* error = std::get_if<ConfigError>(&loaded)) {
        return error->message();
    }
    const ConfigBundle& config = std::get<ConfigBundle>(loaded);
    applyConfig(config, state);
    log = CrossingLog{};
    LoggingHost host(config, log);
    YesPrompter prompter;
    NoRandom random;
    RaceEngine engine(state, host, prompter, random);
    host.engine = &engine;
    engine.ReSet();
    // The title keeps its "Demo - "; the journal holds the demo's crossings.
    state.Demo = false;
    engine.cmdStart_Click();
    if (state.phase != RacePhase::Racing) {
        return QStringLiteral("the race does not start: ") +
               prompter.messages.join(QStringLiteral("; "));
    }
    // The replay's ticks (every multiple of 10 ms and every report's clock), but
    // none past `until`.
    EntryReports reports(entries);
    int64_t clock = state.RaceClock;
    auto tickAt = [&](int64_t at) {
        reports.beginTick(at);
        engine.Timer1_Timer(static_cast<int32_t>(at - clock), reports);
        clock = at;
        reports.dropTick();
    };
    if (reports.nextClock() == 0) {
        tickAt(0);
    }
    while (clock < until && state.RaceOver == 0) {
        int64_t next = std::min<int64_t>((clock / kTick + 1) * kTick, until);
        if (const auto journal = reports.nextClock()) {
            next = std::min(next, *journal);
        }
        tickAt(next);
    }
    return std::nullopt;
}

}  // namespace lapdeck
