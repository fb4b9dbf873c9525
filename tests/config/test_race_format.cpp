#include <gtest/gtest.h>

#include "ApplyConfig.h"
#include "RaceFormat.h"
#include "RaceFormatModel.h"
#include "TestSupport.h"

namespace lapdeck {
namespace {

const QString kFile = QStringLiteral("RaceFormatSettings.dat");

TEST(RaceFormatFile, ExampleLineIsA25LapRaceWith20MinutesStillChosen) {
    const QByteArray line = "14,15,#FALSE#,#TRUE#,#FALSE#,0\r\n";
    const LoadResult<RaceFormat> r = parseRaceFormat(line, kFile);
    ASSERT_TRUE(r.ok()) << r.error->message().toStdString();
    EXPECT_EQ(r.value.lapsText(), QStringLiteral("25"));
    EXPECT_EQ(r.value.minutesText(), QStringLiteral("20"));
    EXPECT_EQ(serializeRaceFormat(r.value), line);
}

TEST(RaceFormatFile, OptionsDemoAndTheirRaceState) {
    struct Case {
        const char* line;
        RaceOption option;
        bool demo;
        int16_t laps;
        int32_t minutes;
    };
    const Case cases[] = {
        {"14,15,#FALSE#,#TRUE#,#FALSE#,0", RaceOption::LapRace, false, 25, 20},
        {"5,2,#TRUE#,#FALSE#,#FALSE#,0", RaceOption::TimedRace, false, 8, 3},
        {"5,2,#FALSE#,#FALSE#,#TRUE#,1", RaceOption::Practice, true, 8, 3},
        {"32,44,#TRUE#,#FALSE#,#FALSE#,1", RaceOption::TimedRace, true, 500, 240},
        // No laps or minutes chosen is no error: the number is 0.
        {"-1,-1,#FALSE#,#TRUE#,#FALSE#,0", RaceOption::LapRace, false, 0, 0},
        // Options set in the order timed, lap, practice: the last one set on stays.
        {"0,0,#TRUE#,#TRUE#,#FALSE#,0", RaceOption::LapRace, false, 3, 1},
        {"0,0,#TRUE#,#TRUE#,#TRUE#,0", RaceOption::Practice, false, 3, 1},
        {"0,0,#FALSE#,#FALSE#,#FALSE#,0", RaceOption::None, false, 3, 1},
    };
    for (const Case& c : cases) {
        const LoadResult<RaceFormat> r = parseRaceFormat(c.line, kFile);
        ASSERT_TRUE(r.ok()) << c.line;
        EXPECT_EQ(r.value.option(), c.option) << c.line;
        EXPECT_EQ(r.value.demo, c.demo) << c.line;
        RaceState state;
        applyRaceFormat(r.value, state);
        EXPECT_EQ(state.RaceLaps, c.laps) << c.line;
        EXPECT_EQ(state.RaceMinutes, c.minutes) << c.line;
        EXPECT_EQ(state.IsLapRace, c.option == RaceOption::LapRace) << c.line;
        EXPECT_EQ(state.live.optLapRace, c.option == RaceOption::LapRace) << c.line;
        EXPECT_EQ(state.IsTimedRace, c.option == RaceOption::TimedRace) << c.line;
        EXPECT_EQ(state.live.optTimedRace, c.option == RaceOption::TimedRace) << c.line;
        EXPECT_EQ(state.IsPractice, c.option == RaceOption::Practice) << c.line;
        EXPECT_EQ(state.live.optPractice, c.option == RaceOption::Practice) << c.line;
        EXPECT_EQ(state.live.demo, c.demo) << c.line;
    }
}

TEST(RaceFormatFile, MalformedLinesNameTheField) {
    struct Case {
        const char* line;
        int field;
    };
    const Case cases[] = {
        {"33,15,#FALSE#,#TRUE#,#FALSE#,0", 1},
        {"-2,15,#FALSE#,#TRUE#,#FALSE#,0", 1},
        {"14,45,#FALSE#,#TRUE#,#FALSE#,0", 2},
        {"14,15,#YES#,#TRUE#,#FALSE#,0", 3},
        {"14,15,#FALSE#,1,#FALSE#,0", 4},
        {"14,15,#FALSE#,#TRUE#,\"\",0", 5},
        {"14,15,#FALSE#,#TRUE#,#FALSE#,2", 6},
        {"14,15,#FALSE#,#TRUE#,#FALSE#", 6},
        {"14,15", 3},
        {"14.5,15,#FALSE#,#TRUE#,#FALSE#,0", 1},
    };
    for (const Case& c : cases) {
        const LoadResult<RaceFormat> r = parseRaceFormat(c.line, kFile);
        ASSERT_FALSE(r.ok()) << c.line;
        EXPECT_EQ(r.error->field, c.field) << c.line;
        EXPECT_EQ(r.error->line, 1) << c.line;
        EXPECT_EQ(r.error->file, kFile);
    }
}

TEST(RaceFormatFile, MissingFileIsAnErrorWithTheDefaultTenLapRace) {
    test::TempFolder dir;
    const LoadResult<RaceFormat> r = loadRaceFormat(dir.file(kFile));
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.value.raceLaps(), 10);
    EXPECT_EQ(r.value.option(), RaceOption::LapRace);
    EXPECT_FALSE(r.value.demo);
}

TEST(RaceFormatModel, OptionsDecideWhichListIsUsable) {
    RaceFormatModel m(parseRaceFormat("14,15,#TRUE#,#FALSE#,#FALSE#,0", kFile).value);
    EXPECT_TRUE(m.minutesListEnabled());
    EXPECT_FALSE(m.lapsListEnabled());
    m.optPractice_Click();
    EXPECT_FALSE(m.minutesListEnabled());
    EXPECT_FALSE(m.lapsListEnabled());
    // Practice still stores both positions.
    EXPECT_EQ(serializeRaceFormat(m.value()), QByteArray("14,15,#FALSE#,#FALSE#,#TRUE#,0\r\n"));
    m.optLapRace_Click();
    EXPECT_TRUE(m.lapsListEnabled());
    EXPECT_FALSE(m.minutesListEnabled());
    m.setDemo(true);
    EXPECT_EQ(serializeRaceFormat(m.value()), QByteArray("14,15,#FALSE#,#TRUE#,#FALSE#,1\r\n"));
}

TEST(RaceFormatModel, TimedRaceWithoutMinutesIsRefused) {
    RaceFormatModel m(defaultRaceFormat());
    m.optTimedRace_Click();
    m.setMinutesPos(-1);
    const auto message = m.validate();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, QStringLiteral("Please select Time"));
    EXPECT_EQ(message->title, QString());
    EXPECT_EQ(message->icon, Icon::None);
    m.setMinutesPos(0);
    EXPECT_FALSE(m.validate());

    // A lap race without laps is let through; its race has 0 laps.
    m.optLapRace_Click();
    m.setLapsPos(-1);
    EXPECT_FALSE(m.validate());
    m.setLapsPos(33);  // off the list: nothing chosen
    EXPECT_EQ(m.value().raceLaps(), 0);
}

TEST(RaceFormatModel, TwoOptionsFromAFileBecomeOne) {
    RaceFormat both;
    both.isLapRace = true;
    both.isTimedRace = true;
    RaceFormatModel m(both);
    EXPECT_TRUE(m.value().isLapRace);
    EXPECT_FALSE(m.value().isTimedRace);
}

}  // namespace
}  // namespace lapdeck
