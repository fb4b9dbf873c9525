#include "ReplayRun.h"

#include <cstdint>

#include "RaceEngine.h"

namespace lapdeck {
namespace {

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

constexpr int32_t kTick = 10;

}  // namespace

void runJournal(RaceEngine& engine, const std::vector<JournalEntry>& entries) {
    RaceState& s = engine.state();
    size_t next = 0;
    int32_t clock = s.RaceClock;

    auto tickAt = [&](int32_t at) {
        TickReports reports(entries, next, at);
        engine.Timer1_Timer(at - clock, reports);
        clock = at;
        // Reports of a tick after the race ended are never read.
        while (reports.hasInput()) {
            ++next;
        }
    };

    if (!entries.empty() && entries.front().clock == 0) {
        tickAt(0);
    }
    while (next < entries.size() && s.RaceOver == 0) {
        const int32_t nextMultiple = (clock / kTick + 1) * kTick;
        const int32_t journalClock = entries[next].clock;
        tickAt(journalClock < nextMultiple ? journalClock : nextMultiple);
    }
    const int64_t length = static_cast<int64_t>(s.RaceMinutes) * 60000;
    auto goesOn = [&]() {
        if (s.RaceOver != 0) {
            return false;
        }
        if (s.IsTimedRace && !s.CheckeredShown) {
            return true;
        }
        return s.CheckeredShown;
    };
    (void)length;
    while (goesOn()) {
        const int64_t nextMultiple = (static_cast<int64_t>(clock) / kTick + 1) * kTick;
        if (nextMultiple > 2147483647) {
            break;
        }
        tickAt(static_cast<int32_t>(nextMultiple));
    }
}

}  // namespace lapdeck
