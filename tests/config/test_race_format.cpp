#include <gtest/gtest.h>

#include "RaceFormat.h"
#include "RaceFormatModel.h"
#include "TestHelpers.h"

namespace lapdeck::test {
namespace {

const QString kFile = QStringLiteral("RaceFormatSettings.dat");

// Laps, minutes, option flags and demo as the race sees them after applying.
std::string applied(const RaceFormat& format) {
    RaceState s;
    applyRaceFormat(format, s);
    const auto b = [](bool on) { return on ? "1" : "0"; };
    return std::to_string(s.RaceLaps) + " laps " + std::to_string(s.RaceMinutes) + " min " +
           b(s.IsPractice) + b(s.IsLapRace) + b(s.IsTimedRace) + " demo " + b(s.Demo);
}

TEST(RaceFormatFile, OptionsDemoAndWhatTheRaceTakesFromThem) {
    // Fields: laps position, minutes position, timed, lap, practice, demo.
    const std::pair<const char*, const char*> cases[] = {
        {"14,15,#FALSE#,#TRUE#,#FALSE#,0", "25 laps 20 min 010 demo 0"},
        {"5,2,#TRUE#,#FALSE#,#FALSE#,0", "8 laps 3 min 001 demo 0"},
        {"5,2,#FALSE#,#FALSE#,#TRUE#,1", "8 laps 3 min 100 demo 1"},
        {"32,44,#TRUE#,#FALSE#,#FALSE#,1", "500 laps 240 min 001 demo 1"},
        // No laps or minutes chosen is no error: the number is 0.
        {"-1,-1,#FALSE#,#TRUE#,#FALSE#,0", "0 laps 0 min 010 demo 0"},
        // Options set in the order timed, lap, practice: the last one set on stays.
        {"0,0,#TRUE#,#TRUE#,#FALSE#,0", "3 laps 1 min 010 demo 0"},
        {"0,0,#TRUE#,#TRUE#,#TRUE#,0", "3 laps 1 min 100 demo 0"},
        {"0,0,#FALSE#,#FALSE#,#FALSE#,0", "3 laps 1 min 000 demo 0"}};
    for (const auto& [line, race] : cases) {
        const LoadResult<RaceFormat> r = parseRaceFormat(line, kFile);
        ASSERT_TRUE(r.ok()) << line;
        EXPECT_EQ(applied(r.value), race) << line;
    }
    const QByteArray line = "14,15,#FALSE#,#TRUE#,#FALSE#,0\r\n";
    EXPECT_EQ(serializeRaceFormat(parseRaceFormat(line, kFile).value), line);
}

TEST(RaceFormatFile, MalformedLinesNameTheField) {
    for (const char* c : {"33,15,#FALSE#,#TRUE#,#FALSE#,0|1", "-2,15,#FALSE#,#TRUE#,#FALSE#,0|1",
                          "14,45,#FALSE#,#TRUE#,#FALSE#,0|2", "14,15,#YES#,#TRUE#,#FALSE#,0|3",
                          "14,15,#FALSE#,1,#FALSE#,0|4", "14,15,#FALSE#,#TRUE#,\"\",0|5",
                          "14,15,#FALSE#,#TRUE#,#FALSE#,2|6", "14,15,#FALSE#,#TRUE#,#FALSE#|6",
                          "14,15|3", "14.5,15,#FALSE#,#TRUE#,#FALSE#,0|1"}) {
        const QStringList p = qs(c).split(u'|');
        const LoadResult<RaceFormat> r = parseRaceFormat(p[0].toLatin1(), kFile);
        ASSERT_FALSE(r.ok()) << c;
        EXPECT_EQ(r.error->message().section(u':', 0, 0), kFile + qs(", line 1, field ") + p[1]);
    }
    TempFolder dir;  // a missing file is an error; the race is the default 10-lap race
    const LoadResult<RaceFormat> missing = loadRaceFormat(dir.file(kFile));
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(applied(missing.value), "10 laps 10 min 010 demo 0");
}

TEST(RaceFormatModel, OptionsDecideWhichListIsUsableAndTimedRacesNeedTheirMinutes) {
    RaceFormatModel m(parseRaceFormat("14,15,#TRUE#,#FALSE#,#FALSE#,0", kFile).value);
    EXPECT_TRUE(m.minutesListEnabled() && !m.lapsListEnabled());
    m.optPractice_Click();
    EXPECT_FALSE(m.minutesListEnabled() || m.lapsListEnabled());
    // Practice still stores both positions.
    EXPECT_EQ(serializeRaceFormat(m.value()), QByteArray("14,15,#FALSE#,#FALSE#,#TRUE#,0\r\n"));
    m.optLapRace_Click();
    EXPECT_TRUE(m.lapsListEnabled() && !m.minutesListEnabled());
    m.setDemo(true);
    EXPECT_EQ(serializeRaceFormat(m.value()), QByteArray("14,15,#FALSE#,#TRUE#,#FALSE#,1\r\n"));

    m.optTimedRace_Click();
    m.setMinutesPos(45);  // one past the end of the list: nothing chosen
    EXPECT_EQ(m.value().minutesPos, -1);
    EXPECT_EQ(m.validate(), (UserMessage{QString(), qs("Please select Time"), Icon::None}));
    m.setMinutesPos(0);
    EXPECT_FALSE(m.validate());
    // A lap race without laps is let through; its race has 0 laps.
    m.optLapRace_Click();
    m.setLapsPos(33);
    EXPECT_EQ(m.value().lapsPos, -1);
    EXPECT_FALSE(m.validate());

    RaceFormat both;  // nothing chosen yet; two options from a file become one
    EXPECT_EQ(applied(both), "0 laps 0 min 000 demo 0");
    both.isLapRace = both.isTimedRace = true;
    EXPECT_TRUE(RaceFormatModel(both).value().isLapRace);
    EXPECT_FALSE(RaceFormatModel(both).value().isTimedRace);
}

}  // namespace
}  // namespace lapdeck::test
