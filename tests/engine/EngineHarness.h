#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include "RaceEngine.h"
#include "RaceHost.h"
#include "RaceState.h"

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace lapdeck::test {

inline QString qs(const char* text) {
    return QString::fromUtf8(text);
}

struct PlayedSound {
    QString file;
    int volume = 0;
    int pan = 0;
};

// Records everything the engine asks of the world around it.
class RecordingHost : public RaceHost {
public:
    std::vector<PlayedSound> sounds;
    int beeps = 0;
    std::vector<bool> timerCalls;
    std::vector<bool> startSequences;  // one entry per request: with countdown or not
    int pickerCloses = 0;
    PerFlag<QString> names{};
    QString lagMode = QStringLiteral("Lag First");
    QDateTime fixedNow{QDate(2026, 12, 5), QTime(16, 7, 42)};

    void playSound(const QString& file, int volume, int pan) override {
        sounds.push_back({file, volume, pan});
    }
    void beep() override { ++beeps; }
    void setTimerRunning(bool running) override { timerCalls.push_back(running); }
    void runStartSequence(bool withCountdown) override { startSequences.push_back(withCountdown); }
    PerFlag<QString> loadRacerNames() override { return names; }
    QString readLagMode() override { return lagMode; }
    QDateTime now() override { return fixedNow; }
    void closeNamePickers() override { ++pickerCloses; }

    int count(const char* file) const {
        int n = 0;
        for (const PlayedSound& s : sounds) {
            n += s.file == qs(file) ? 1 : 0;
        }
        return n;
    }
};

struct Question {
    QString title;
    QString text;
    Icon icon = Icon::None;
    bool defaultNo = false;
};

struct Message {
    QString title;
    QString text;
};

// Answers questions from a script and records every question and message.
class ScriptedPrompter : public Prompter {
public:
    std::deque<Answer> answers;
    std::vector<Question> questions;
    std::vector<Message> messages;

    Answer ask(const QString& title, const QString& text, Icon icon, bool defaultNo) override {
        questions.push_back({title, text, icon, defaultNo});
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question " << title.toStdString() << ": "
                          << text.toStdString();
            return Answer::No;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void inform(const QString& title, const QString& text, Icon /*icon*/) override {
        messages.push_back({title, text});
    }
};

// Hands out scripted numbers; when the script runs out it gives `fallback`, or fails
// the test when `strict` is set.
class ScriptedRandom : public RandomSource {
public:
    std::deque<double> values;
    double fallback = 0.5;
    bool strict = false;
    int draws = 0;
    int reseeds = 0;

    double next() override {
        ++draws;
        if (!values.empty()) {
            const double v = values.front();
            values.pop_front();
            return v;
        }
        if (strict) {
            ADD_FAILURE() << "random number drawn beyond the script (draw " << draws << ")";
        }
        return fallback;
    }
    void reseed() override { ++reseeds; }
};

// The reports waiting at the port, one per read.
class QueuedReports : public ReportSource {
public:
    std::deque<QString> pending;
    int reads = 0;

    void push(std::initializer_list<const char*> reports) {
        for (const char* r : reports) {
            pending.push_back(qs(r));
        }
    }
    bool hasInput() override { return !pending.empty(); }
    QString read() override {
        ++reads;
        const QString text = pending.front();
        pending.pop_front();
        return text;
    }
};

// The enabled menus, space-separated, for one comparison per menu bar.
inline std::string enabledMenus(const RaceScreen& sc) {
    std::string out;
    const std::pair<bool, const char*> menus[] = {
        {sc.menuFile, "File"},     {sc.menuRaceFormat, "RaceFormat"}, {sc.menuViewData, "ViewData"},
        {sc.menuRacers, "Racers"}, {sc.menuSound, "Sound"},           {sc.menuSettings, "Settings"},
        {sc.menuHelp, "Help"}};
    for (const auto& [on, name] : menus) {
        if (on) {
            out += out.empty() ? "" : " ";
            out += name;
        }
    }
    return out;
}

enum class Format { Practice, LapRace, TimedRace };

struct Crossing {
    int32_t at;
    int flag;
};

// One engine with a recording host, a scripted prompter and random source, and a
// port fed per tick.
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
            state.live.swatchColour[f] = 2000 + f;
        }
    }

    // Chooses the race format and settings and resets the window to idle.
    // `firstLap` is the "Race Begins With Lap" setting (0 or 1).
    void configure(Format format, int lengthValue = 10, int firstLap = 1,
                   const char* minLap = "2") {
        state.IsPractice = format == Format::Practice;
        state.IsLapRace = format == Format::LapRace;
        state.IsTimedRace = format == Format::TimedRace;
        state.live.optPractice = state.IsPractice;
        state.live.optLapRace = state.IsLapRace;
        state.live.optTimedRace = state.IsTimedRace;
        if (format == Format::LapRace) {
            state.RaceLaps = static_cast<int16_t>(lengthValue);
        } else if (format == Format::TimedRace) {
            state.RaceMinutes = lengthValue;
        }
        state.FirstLapIndex = static_cast<int16_t>(firstLap - 1);
        state.live.firstLapText = QString::number(firstLap);
        state.live.minLapText = qs(minLap);
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

    // One tick that brings the race clock to `clock`, with `reports` waiting at the port.
    // The reports are judged at `clock`; the finish test of this tick sees the clock
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
            ASSERT_GE(at, state.RaceClock);
            for (; i < crossings.size() && crossings[i].at == at; ++i) {
                port.pending.push_back(QString::number(crossings[i].flag));
            }
            engine.Timer1_Timer(at - state.RaceClock, port);
        }
    }

    // 10 ms ticks, as the race timer gives them, until the clock reaches `clock` or
    // the race ends.
    void tenMsTicksUntil(int32_t clock) {
        while (state.RaceClock < clock && state.RaceOver == 0) {
            engine.Timer1_Timer(10, port);
        }
    }

    QString caption() const { return startCaption(state.phase); }
};

}  // namespace lapdeck::test
