#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "EngineStubs.h"
#include "RaceEngine.h"
#include "TestHelpers.h"

namespace lapdeck::test {

enum class Format { Practice, LapRace, TimedRace };

struct Crossing {
    int32_t at;
    int flag;
};

// One engine with a recording host, a scripted prompter and random source, and a
// port fed per tick. Flags 1..6 are Ann, Bob, Cy, Dee, Eve, Flo in colours 1001..1006.
class EngineTest : public ::testing::Test {
protected:
    RaceState state;
    RecordingHost host;
    ScriptedPrompter prompter;
    ScriptedRandom random;
    QueuedReports port;
    RaceEngine engine{state, host, prompter, random};

    EngineTest() {
        const char* names[] = {"", "Ann", "Bob", "Cy", "Dee", "Eve", "Flo"};
        for (int f = 1; f <= kFlags; ++f) {
            host.names[f] = qs(names[f]);
            state.FlagColor[f] = 1000 + f;
        }
    }

    // Chooses the race format and settings and resets the window to idle.
    // `firstLap` is the "Race Begins With Lap" setting (0 or 1).
    void configure(Format format, int length = 10, int firstLap = 1, float minLap = 2.0f) {
        state.IsPractice = format == Format::Practice;
        state.IsLapRace = format == Format::LapRace;
        state.IsTimedRace = format == Format::TimedRace;
        if (format == Format::LapRace) {
            state.RaceLaps = static_cast<int16_t>(length);
        } else if (format == Format::TimedRace) {
            state.RaceMinutes = length;
        }
        state.FirstLapIndex = static_cast<int16_t>(firstLap - 1);
        state.MinLapTime = minLap;
        engine.ReSet();
    }

    // Presses Start and, for a race, lets the start lights turn green and close.
    void start() {
        engine.cmdStart_Click();
        if (!state.IsPractice) {
            ASSERT_FALSE(host.startSequences.empty()) << "no start sequence was asked for";
            engine.greenLight(&port);
            engine.startSequenceClosed();
        }
    }

    // One tick that brings the race clock to `clock`, with `reports` waiting at the
    // port. The reports are judged at `clock`; the tick's finish test sees the clock
    // before it.
    void tickAt(int32_t clock, std::initializer_list<const char*> reports = {}) {
        ASSERT_GE(clock, state.RaceClock);
        port.push(reports);
        engine.Timer1_Timer(clock - state.RaceClock, port);
    }
    void tick(std::initializer_list<const char*> reports = {}) {
        tickAt(state.RaceClock + 10, reports);
    }

    // Crossings in time order; crossings with the same time share one tick.
    void run(const std::vector<Crossing>& crossings) {
        for (size_t i = 0; i < crossings.size();) {
            const int32_t at = crossings[i].at;
            for (; i < crossings.size() && crossings[i].at == at; ++i) {
                port.pending.push_back(QString::number(crossings[i].flag));
            }
            tickAt(at);
        }
    }

    // The race phase (what the window's buttons and menus follow), the flag picture and
    // whether the race timer runs, as one line: "Paused YellowFlagblack.bmp".
    std::string controls() const {
        static const char* const phases[] = {"Idle", "Starting", "Racing", "Paused", "Over"};
        std::string out =
            phases[static_cast<int>(state.phase)] + (u' ' + state.screen.picture).toStdString();
        const bool told = !host.timerCalls.empty() && host.timerCalls.back();
        out += told ? " timer" : "";
        return out + (told != state.timerRunning ? " (timer state differs)" : "");
    }

    // One screen row as "name|lap|lap time|best|gap|colour".
    QString row(int r) const {
        const ScreenRow& x = state.screen.row[r];
        return QStringList{state.flagName(x.flag).caption(), x.lapNum, x.lapTime, x.best, x.lagTime,
                           QString::number(x.colour)}
            .join(u'|');
    }
    // Several rows, one a line.
    std::string rows(std::initializer_list<int> which) const {
        std::string out;
        for (int r : which) {
            out += row(r).toStdString() + "\n";
        }
        return out;
    }
};

}  // namespace lapdeck::test
