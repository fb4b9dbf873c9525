#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ClickLabel.h"
#include "ConfigStore.h"
#include "PortMap.h"
#include "ProgramFiles.h"
#include "RaceEngine.h"
#include "RaceFormat.h"
#include "RaceHost.h"
#include "RaceState.h"
#include "RaceTimer.h"
#include "Settings.h"
#include "SoundPlayer.h"
#include "StartSequenceRunner.h"
#include "ValueLists.h"
#include "frmLapdeck.h"

namespace lapdeck::test {

// Records every question and message; answers questions from a script (Yes when
// the script has run out).
class ScriptedPrompter : public Prompter {
public:
    struct Call {
        bool question = false;
        QString title;
        QString text;
        Icon icon = Icon::None;
        bool defaultNo = false;
    };

    Answer ask(const QString& title, const QString& text, Icon icon, bool defaultNo) override {
        calls.push_back({true, title, text, icon, defaultNo});
        if (answers.empty()) {
            return Answer::Yes;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void inform(const QString& title, const QString& text, Icon icon) override {
        calls.push_back({false, title, text, icon, false});
    }

    std::deque<Answer> answers;
    std::vector<Call> calls;
};

class FixedRandom : public RandomSource {
public:
    explicit FixedRandom(double value) : m_value(value) {}
    double next() override { return m_value; }

private:
    double m_value;
};

class RecordingSound : public SoundPlayer {
public:
    void play(const QString& file, int /*volume*/, int /*pan*/) override { played.push_back(file); }
    std::vector<QString> played;
};

// Gives the green light at once, as the light window would, without its seconds.
class ImmediateStart : public StartSequenceRunner {
public:
    void run(bool withCountdown) override {
        ++runs;
        lastWithCountdown = withCountdown;
        if (window != nullptr) {
            window->engine().greenLight(nullptr);
            window->engine().startSequenceClosed();
        }
    }
    frmLapdeck* window = nullptr;
    int runs = 0;
    bool lastWithCountdown = false;
};

// A data folder with working defaults that a test adjusts before the window loads.
struct DataFolder {
    QTemporaryDir dir;
    ConfigStore store{dir.path()};
    Settings settings = defaultSettings();
    RaceFormat format = defaultRaceFormat();

    DataFolder() { store.seedMissingFiles(); }

    QString path(const QString& name) const { return dir.filePath(name); }
    void writeSettings() { saveSettings(path(FileNames::settings), settings); }
    void writeFormat() { saveRaceFormat(path(FileNames::raceFormat), format); }
    void names(const PerFlag<QString>& n) { saveRacerNames(path(FileNames::racerNames), n); }
    void roster(const QStringList& r) { saveRoster(path(FileNames::roster), r); }
    void lag(const QString& l) { saveLagMode(path(FileNames::raceLag), l); }
    void laps(int count) {
        format.setOption(RaceOption::LapRace);
        format.lapsPos = static_cast<int16_t>(
            ValueLists::positionOf(ValueLists::lapCounts(), QString::number(count)));
        writeFormat();
    }
    void practice() {
        format.setOption(RaceOption::Practice);
        writeFormat();
    }
};

// Names of flags 1 to 6 from "Ann,Bob,...", an empty field for no name.
inline PerFlag<QString> flagNames(const QString& csv) {
    PerFlag<QString> names;
    const QStringList parts = csv.split(QLatin1Char(','));
    for (int r = 1; r <= kFlags && r <= parts.size(); ++r) {
        names[static_cast<size_t>(r)] = parts[r - 1];
    }
    return names;
}
inline PerFlag<QString> sixNames() {
    return flagNames(QStringLiteral("Ann,Bob,Cy,Dee,Eve,Fay"));
}

// Checks that exactly one message or question was shown, and what it said.
inline void expectOnePrompt(const ScriptedPrompter& p, const QString& title, const QString& text,
                            Icon icon) {
    ASSERT_EQ(p.calls.size(), 1u);
    EXPECT_EQ(p.calls[0].title, title);
    EXPECT_EQ(p.calls[0].text, text);
    EXPECT_EQ(p.calls[0].icon, icon);
}

// The main window over a data folder, with scripted answers, silence and an
// immediate start sequence; `adjust` may change the services before it loads.
struct WindowRig {
    explicit WindowRig(DataFolder& folder, const std::function<void(LapdeckServices&)>& adjust = {})
        : data(folder) {
        LapdeckServices services;
        services.prompter = &prompter;
        services.random = &random;
        services.sound = &sound;
        services.startSequence = &start;
        if (adjust) {
            adjust(services);
        }
        window = std::make_unique<frmLapdeck>(state, data.store, services);
        start.window = window.get();
    }

    // Ticks of 10 ms (the last one shorter) until the race clock reads `clock`.
    void advanceTo(int32_t clock) {
        while (state.RaceClock < clock && state.RaceOver == 0) {
            window->Timer1_Timer(std::min<int32_t>(10, clock - state.RaceClock));
        }
    }
    // A report read at the race clock `clock`.
    void cross(int32_t clock, const QString& report) {
        advanceTo(clock);
        window->engine().handleReport(report);
        window->drawScreen();
    }

    DataFolder& data;
    RaceState state;
    ScriptedPrompter prompter;
    FixedRandom random{0.5};
    RecordingSound sound;
    ImmediateStart start;
    std::unique_ptr<frmLapdeck> window;
};

}  // namespace lapdeck::test
