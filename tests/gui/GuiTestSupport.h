#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "../support/EngineStubs.h"
#include "../support/TestHelpers.h"
#include "ClickLabel.h"
#include "ConfigStore.h"
#include "PortMap.h"
#include "ProgramFiles.h"
#include "RaceFormat.h"
#include "RaceTimer.h"
#include "Settings.h"
#include "SoundPlayer.h"
#include "StartSequenceRunner.h"
#include "ValueLists.h"
#include "frmLapdeck.h"

namespace lapdeck::test {

class RecordingSound : public SoundPlayer {
public:
    void play(const QString& file, int /*volume*/, int /*pan*/) override { played.push_back(file); }
    std::vector<QString> played;
};

// Gives the green light at once, as the light window would, without its seconds.
class ImmediateStart : public StartSequenceRunner {
public:
    void run(bool withCountdown) override {
        lastWithCountdown = withCountdown;
        window->engine().greenLight(nullptr);
        window->engine().startSequenceClosed();
    }
    frmLapdeck* window = nullptr;
    bool lastWithCountdown = false;
};

// A data folder with working defaults that a test adjusts before the window loads.
struct DataFolder {
    QTemporaryDir dir;
    ConfigStore store{dir.path()};
    Settings settings = defaultSettings();

    DataFolder() { store.seedMissingFiles(); }

    QString path(const QString& name) const { return dir.filePath(name); }
    // Flags 1 to 6 from "Ann,Bob,...", an empty field for no name.
    void names(const QString& csv) {
        PerFlag<QString> names;
        const QStringList parts = csv.split(u',');
        for (int f = 1; f <= kFlags && f <= parts.size(); ++f) {
            names[static_cast<size_t>(f)] = parts[f - 1];
        }
        saveRacerNames(path(FileNames::racerNames), names);
    }
    void roster(const QStringList& names) { saveRoster(path(FileNames::roster), names); }
    void disable(int flag) {
        settings.disabled[static_cast<size_t>(flag)] = true;
        saveSettings(path(FileNames::settings), settings);
    }
    void format(RaceOption option, int laps = 10) {
        RaceFormat format = defaultRaceFormat();
        format.setOption(option);
        format.lapsPos = static_cast<int16_t>(
            ValueLists::positionOf(ValueLists::lapCounts(), QString::number(laps)));
        saveRaceFormat(path(FileNames::raceFormat), format);
    }
};

// Exactly one message or question was shown, and what it said.
inline void expectOnePrompt(const ScriptedPrompter& p, const QString& title, const QString& text,
                            Icon icon) {
    ASSERT_EQ(p.prompts.size(), 1u);
    EXPECT_EQ(p.prompts[0].title, title);
    EXPECT_EQ(p.prompts[0].text, text);
    EXPECT_EQ(p.prompts[0].icon, icon);
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
    void cross(int32_t clock, const char* report) { cross(clock, qs(report)); }

    DataFolder& data;
    RaceState state;
    ScriptedPrompter prompter;
    ScriptedRandom random;
    RecordingSound sound;
    ImmediateStart start;
    std::unique_ptr<frmLapdeck> window;
};

}  // namespace lapdeck::test
