#include <gtest/gtest.h>

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "ClickLabel.h"
#include "GuiTestSupport.h"
#include "frmFormula1.h"
#include "frmVx9Countdown.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

// The engine behind the light window, with a race prepared as "Start" leaves it.
struct LightRig {
    explicit LightRig(double randomValue) : random(randomValue) {
        state.FlagPicture = u"GreenFlagblack.bmp"_s;
    }
    struct Host : RaceHost {
        void setTimerRunning(bool r) override { running = r; }
        bool running = false;
    } host;
    RaceState state;
    ScriptedPrompter prompter;
    FixedRandom random;
    RaceEngine engine{state, host, prompter, random};
    RecordingSound sound;
    int changes = 0;
};

// A scripted port: what waits at the green light is thrown away.
class WaitingReports : public ReportSource {
public:
    bool hasInput() override { return !reports.isEmpty(); }
    QString read() override { return reports.takeFirst(); }
    QStringList reports;
};

QString lights(const frmFormula1& f) {
    QString s;
    for (int i = 0; i < 4; ++i) {
        const QColor c = f.lightColour(i);
        s += c == QColor(255, 0, 0) ? u'R' : c == QColor(0, 255, 0) ? u'G' : u'.';
    }
    return s;
}

struct LightCase {
    double random;  // R = whole part of 3r + 1
    int greenTick;  // R + 4
};
class StartLights : public ::testing::TestWithParam<LightCase> {};

TEST_P(StartLights, RedOneASecondThenGreenAfterTheHold) {
    const LightCase c = GetParam();
    LightRig rig(c.random);
    WaitingReports port;
    port.reports = {u"3"_s, u"4"_s};
    frmFormula1 f(rig.engine, rig.sound, rig.random, &port, [&rig]() { ++rig.changes; });
    EXPECT_EQ(rig.sound.played, std::vector<QString>{u"getready.wav"_s});
    EXPECT_TRUE(f.tmrRandom.isActive());
    EXPECT_EQ(f.tmrRandom.interval(), 1000);
    EXPECT_EQ(lights(f), u"...."_s);

    const QStringList red{u"R..."_s, u"RR.."_s, u"RRR."_s, u"RRRR"_s};
    for (int tick = 1; tick < c.greenTick; ++tick) {
        f.tmrRandom_Timer();
        EXPECT_EQ(lights(f), red[std::min(tick, 4) - 1]) << tick;
        EXPECT_FALSE(rig.host.running);
    }
    f.tmrRandom_Timer();  // green
    EXPECT_EQ(lights(f), u"GGGG"_s);
    EXPECT_TRUE(rig.host.running);
    EXPECT_TRUE(port.reports.isEmpty());
    EXPECT_EQ(rig.state.screen.picture, u"GreenFlagblack.bmp"_s);
    EXPECT_EQ(rig.sound.played.back(), u"go.wav"_s);
    EXPECT_EQ(rig.state.phase, RacePhase::Idle);  // still "Start" while the lights show
    EXPECT_EQ(rig.changes, 1);

    f.tmrRandom_Timer();  // closes
    EXPECT_FALSE(f.tmrRandom.isActive());
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(rig.state.phase, RacePhase::Racing);
    EXPECT_EQ(rig.changes, 2);
}

INSTANTIATE_TEST_SUITE_P(Holds, StartLights,
                         ::testing::Values(LightCase{0.0, 5}, LightCase{0.34, 6},
                                           LightCase{0.99, 7}));

TEST(StartLightsClick, ClickBeforeTheRedLightsSkipsThem) {
    LightRig rig(0.5);  // R = 2
    frmFormula1 f(rig.engine, rig.sound, rig.random, nullptr, {});
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f, &click);
    f.tmrRandom_Timer();  // step 5: nothing with R = 2
    EXPECT_EQ(lights(f), u"...."_s);
    f.tmrRandom_Timer();  // step 6 = R + 4: green, the red lights never lit
    EXPECT_EQ(lights(f), u"GGGG"_s);
    EXPECT_TRUE(rig.host.running);
}

TEST(StartLightsClose, TheLightsCannotBeCalledOff) {
    LightRig rig(0.0);
    frmFormula1 f(rig.engine, rig.sound, rig.random, nullptr, {});
    f.show();
    f.close();
    EXPECT_TRUE(f.isVisible());
    f.tmrRandom.stop();
    for (int i = 0; i < 6; ++i) {
        f.tmrRandom_Timer();
    }
    EXPECT_FALSE(f.isVisible());
}

TEST(Countdown, DigitsRunDownAndTheWindowClosesAfterZero) {
    frmVx9Countdown c(2);
    EXPECT_EQ(c.lblCountDown->text(), QString());
    c.show();
    for (const QString& digits : {u"2"_s, u"1"_s, u"0"_s}) {
        c.tmrCountDown_Timer();
        EXPECT_EQ(c.lblCountDown->text(), digits);
        EXPECT_TRUE(c.isVisible());
    }
    c.tmrCountDown_Timer();
    EXPECT_FALSE(c.isVisible());
    EXPECT_EQ(c.result(), QDialog::Accepted);
}

TEST(Countdown, SkipByButtonOrByClickingTheDigits) {
    for (bool byButton : {true, false}) {
        frmVx9Countdown c(10);
        c.show();
        c.tmrCountDown_Timer();
        if (byButton) {
            c.cmdSkip->click();
        } else {
            emit c.lblCountDown->clicked();
        }
        EXPECT_FALSE(c.isVisible());
        EXPECT_FALSE(c.tmrCountDown.isActive());
    }
}

}  // namespace
}  // namespace lapdeck::test
