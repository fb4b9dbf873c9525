// The light steps are tested with the engine; this is the window's wiring.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "frmFormula1.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

struct TimerHost : RaceHost {
    void setTimerRunning(bool r) override { running = r; }
    bool running = false;
};

QString lights(const frmFormula1& f) {
    QString s;
    for (int i = 0; i < 4; ++i) {
        const QColor c = f.lightColour(i);
        s += c == QColor(255, 0, 0) ? u'R' : c == QColor(0, 255, 0) ? u'G' : u'.';
    }
    return s;
}

// Red one a second, green after the hold R = whole part of 3r + 1 (here 2): the race
// timer starts, the waiting reports are thrown away, "go.wav" plays; the race runs
// once the window closes.
TEST(StartLightsWindow, GoesGreenFlushesThePortAndStartsTheRace) {
    RaceState state;
    state.FlagPicture = u"GreenFlagblack.bmp"_s;
    TimerHost host;
    ScriptedPrompter prompter;
    ScriptedRandom random(0.5);
    RaceEngine engine(state, host, prompter, random);
    RecordingSound sound;
    QueuedReports port;
    port.push({"3", "4"});
    int changes = 0;
    frmFormula1 f(engine, sound, random, &port, [&changes]() { ++changes; });
    EXPECT_EQ(sound.played, QStringList{u"getready.wav 100 50"_s});
    EXPECT_EQ(f.tmrRandom.interval(), 1000);
    for (int second = 1; second <= 5; ++second) {  // the steps are the engine's
        f.tmrRandom_Timer();
        EXPECT_FALSE(host.running) << second;
    }
    EXPECT_EQ(lights(f), u"RRRR"_s);
    f.tmrRandom_Timer();
    EXPECT_EQ(lights(f), u"GGGG"_s);
    EXPECT_TRUE(host.running && port.pending.empty());
    EXPECT_EQ(state.screen.picture, u"GreenFlagblack.bmp"_s);
    EXPECT_EQ(sound.played.back(), u"go.wav 100 50"_s);
    EXPECT_EQ(state.phase, RacePhase::Idle) << "still \"Start\" while the lights show";
    f.tmrRandom_Timer();
    EXPECT_TRUE(!f.tmrRandom.isActive() && f.result() == QDialog::Accepted);
    EXPECT_EQ(state.phase, RacePhase::Racing);
    EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace lapdeck::test
