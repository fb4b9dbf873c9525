#include <gtest/gtest.h>

#include "ApplyConfig.h"
#include "FieldWriter.h"
#include "Settings.h"
#include "SettingsModel.h"
#include "TestSupport.h"
#include "ValueLists.h"

namespace lapdeck {
namespace {

const QString kFile = QStringLiteral("RCSettings.dat");

// 22 ft, 1:24, minimum lap 2.5, no delay, port 1, the six start-up colours, flags
// 5 and 6 disabled, race begins with lap 1.
const QByteArray kExample =
    "12,7,6,0,0,\"Yellow\",\"Green\",\"Blue\",\"White\",\"Purple\",\"Orange\","
    "\"65535\",\"65280\",\"16744576\",\"16777215\",\"16711935\",\"33023\",0,0,0,0,1,1,1\r\n";

// The example with one field (1-based) replaced.
QByteArray exampleWith(int field, const QByteArray& value) {
    QList<QByteArray> fields = kExample.trimmed().split(',');
    fields[field - 1] = value;
    return fields.join(',') + "\r\n";
}

TEST(SettingsFile, ExampleLineReadsAsWrittenAndRoundTripsByteExact) {
    const LoadResult<Settings> r = parseSettings(kExample, kFile);
    ASSERT_TRUE(r.ok()) << r.error->message().toStdString();
    const Settings& s = r.value;
    EXPECT_EQ(s.trackLengthText(), QStringLiteral("22"));
    EXPECT_EQ(s.scaleText(), QStringLiteral("1:24"));
    EXPECT_EQ(s.minLapText(), QStringLiteral("2.5"));
    EXPECT_EQ(s.delayText(), QStringLiteral("0"));
    EXPECT_EQ(s.portText(), QStringLiteral("1"));
    EXPECT_EQ(s.firstLapText(), QStringLiteral("1"));
    const int32_t colours[] = {65535, 65280, 16744576, 16777215, 16711935, 33023};
    for (int i = 1; i <= kFlags; ++i) {
        EXPECT_EQ(s.colourName[i], defaultColourNames()[i - 1]);
        EXPECT_EQ(s.swatchColour[i], colours[i - 1]);
        EXPECT_EQ(s.disabled[i], i >= 5) << "flag " << i;
    }
    EXPECT_EQ(serializeSettings(s), kExample);
    EXPECT_EQ(parseSettings(kExample.trimmed(), kFile).value, s);  // no line end
}

TEST(SettingsFile, EmptyColourNamesAndNoneChosenRoundTrip) {
    Settings s = blankSettings();
    s.colourName[3] = QString();
    s.colourName[4] = QStringLiteral("Pink");
    s.swatchColour[2] = -2147483647 - 1;
    const QByteArray bytes = serializeSettings(s);
    EXPECT_TRUE(bytes.startsWith("-1,-1,-1,-1,-1,\"Yellow\",\"Green\",\"\",\"Pink\","));
    const LoadResult<Settings> back = parseSettings(bytes, kFile);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.value, s);
    EXPECT_EQ(back.value.minLapText(), QString());
}

TEST(SettingsFile, PortPositionPastTheEndSelectsPortOne) {
    for (const char* port : {"16", "17", "32767"}) {
        const LoadResult<Settings> r = parseSettings(exampleWith(5, port), kFile);
        EXPECT_TRUE(r.ok()) << port;
        EXPECT_EQ(r.value.portPos, 0) << port;
        EXPECT_EQ(r.value.portText(), QStringLiteral("1"));
    }
    const LoadResult<Settings> last = parseSettings(exampleWith(5, "15"), kFile);
    EXPECT_EQ(last.value.portText(), QStringLiteral("16"));
}

TEST(SettingsFile, BadFieldsAreErrorsNamingTheFieldAndKeepWhatWasRead) {
    struct Case {
        int field;
        const char* value;
        const char* reasonPart;
    };
    const Case cases[] = {
        {1, "492", "outside its list"},
        {1, "-2", "outside its list"},
        {2, "13", "outside its list"},
        {3, "abc", "not a whole number"},
        {3, "87", "outside its list"},
        {4, "31", "outside its list"},
        {5, "-2", "outside the port list"},
        {12, "\"yellow\"", "not a whole number"},
        {17, "\"\"", "not a whole number"},
        {18, "2", "0 or 1"},
        {23, "-1", "0 or 1"},
        {24, "2", "outside its list"},
        {24, "#TRUE#", "not a whole number"},
    };
    for (const Case& c : cases) {
        const LoadResult<Settings> r = parseSettings(exampleWith(c.field, c.value), kFile);
        ASSERT_FALSE(r.ok()) << c.field << "=" << c.value;
        EXPECT_EQ(r.error->file, kFile);
        EXPECT_EQ(r.error->line, 1);
        EXPECT_EQ(r.error->field, c.field) << c.value;
        EXPECT_TRUE(r.error->reason.contains(QLatin1String(c.reasonPart)))
            << c.field << ": " << r.error->reason.toStdString();
        // The fields around the bad one are still taken from the file.
        if (c.field != 2) {
            EXPECT_EQ(r.value.scaleText(), QStringLiteral("1:24"));
        }
        if (c.field != 22 && c.field != 23) {
            EXPECT_TRUE(r.value.disabled[6]) << c.field;
        }
    }
}

TEST(SettingsFile, TruncatedFileReportsTheFirstMissingFieldAndDefaultsTheRest) {
    // Cut after field 10: the four colour names read, the rest missing.
    const QByteArray cut = kExample.left(kExample.indexOf("\"Orange\"") - 1);
    const LoadResult<Settings> r = parseSettings(cut, kFile);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->line, 1);
    EXPECT_EQ(r.error->field, 11);
    EXPECT_TRUE(r.error->reason.contains(QLatin1String("ends too early")));
    EXPECT_EQ(r.value.trackLengthText(), QStringLiteral("22"));  // read
    EXPECT_EQ(r.value.colourName[5], QStringLiteral("Purple"));  // read
    const Settings defaults = defaultSettings();
    EXPECT_EQ(r.value.colourName[6], defaults.colourName[6]);
    EXPECT_EQ(r.value.disabled[5], defaults.disabled[5]);
    EXPECT_EQ(r.value.firstLapPos, defaults.firstLapPos);

    const LoadResult<Settings> empty = parseSettings(QByteArray(), kFile);
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error->field, 1);
    EXPECT_EQ(empty.value, defaults);
}

TEST(SettingsFile, MissingFileIsAnErrorWithDefaults) {
    test::TempFolder dir;
    const LoadResult<Settings> r = loadSettings(dir.file(kFile));
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error->message().contains(kFile));
    EXPECT_EQ(r.value, defaultSettings());
}

TEST(SettingsModel, ColourPickChangesOnlyTheSwatchOfThatFlag) {
    SettingsModel m(defaultSettings());
    m.cmbLane_Click(2, QStringLiteral("Red"));
    EXPECT_EQ(m.value().colourName[2], QStringLiteral("Red"));
    EXPECT_EQ(m.value().swatchColour[2], 255);
    EXPECT_EQ(m.value().swatchColour[1], 65535);
    // Typed text that is no colour of the table: the name is kept, the swatch stays.
    m.cmbLane_Click(2, QStringLiteral("Pink"));
    EXPECT_EQ(m.value().colourName[2], QStringLiteral("Pink"));
    EXPECT_EQ(m.value().swatchColour[2], 255);
    m.cmbLane_Click(0, QStringLiteral("Grey"));  // no such flag: ignored
    m.cmbLane_Click(7, QStringLiteral("Grey"));
    EXPECT_EQ(m.value().colourName[1], QStringLiteral("Yellow"));
}

TEST(SettingsModel, DisableMarksDecideEveryColourList) {
    Settings start = defaultSettings();
    start.disabled[4] = true;
    SettingsModel m(start);
    EXPECT_FALSE(m.colourListEnabled(4));
    EXPECT_TRUE(m.colourListEnabled(3));
    m.chkDisable_Click(1, true);
    m.chkDisable_Click(4, false);
    const bool expected[] = {false, false, true, true, true, true, true};
    for (int i = 1; i <= kFlags; ++i) {
        EXPECT_EQ(m.colourListEnabled(i), expected[i]) << "flag " << i;
    }
    EXPECT_TRUE(m.value().disabled[1]);
    EXPECT_FALSE(m.colourListEnabled(0));
}

TEST(SettingsModel, OkNeedsEveryListButTheColours) {
    SettingsModel complete(defaultSettings());
    complete.cmbLane_Click(3, QString());  // an empty colour is not missing
    EXPECT_FALSE(complete.validate());

    const UserMessage missing{QStringLiteral("Missing options"),
                              QStringLiteral("Please select all options"), Icon::Error};
    using Setter = void (SettingsModel::*)(int);
    const Setter setters[] = {&SettingsModel::setTrackLengthPos, &SettingsModel::setScalePos,
                              &SettingsModel::setMinLapPos,      &SettingsModel::setDelayPos,
                              &SettingsModel::setPortPos,        &SettingsModel::setFirstLapPos};
    for (Setter clear : setters) {
        SettingsModel m(defaultSettings());
        (m.*clear)(-1);
        EXPECT_EQ(m.validate(), missing);
    }
    EXPECT_EQ(SettingsModel(blankSettings()).validate(), missing);
}

TEST(SettingsModel, PositionsOffTheListsAreNotKept) {
    Settings stored = defaultSettings();
    stored.portPos = 20;
    SettingsModel m(stored);
    EXPECT_EQ(m.value().portPos, 0);
    m.setPortPos(16);
    EXPECT_EQ(m.value().portPos, 0);
    m.setTrackLengthPos(492);
    EXPECT_EQ(m.value().trackLengthPos, -1);
    m.setTrackLengthPos(491);
    EXPECT_EQ(m.value().trackLengthText(), QStringLiteral("5280"));
}

TEST(ApplySettings, SettingsInForceAndLiveValues) {
    RaceState state;
    state.ScaleFactor = 99;
    Settings s = parseSettings(kExample, kFile).value;
    s.colourName[2] = QStringLiteral("Red");
    s.swatchColour[2] = 255;
    applySettings(s, state);
    EXPECT_EQ(state.TrackLength, 22);
    EXPECT_EQ(state.ModelScale, QStringLiteral("1:24"));
    EXPECT_EQ(state.ScaleFactor, 24);
    EXPECT_EQ(state.MinLapTime, 2.5f);
    EXPECT_EQ(state.StartDelay, 0);
    EXPECT_EQ(state.CommPort, 1);
    EXPECT_EQ(state.FirstLapIndex, 0);
    EXPECT_EQ(state.LaneColorName[2], QStringLiteral("Red"));
    EXPECT_EQ(state.FlagColor[2], 255);
    EXPECT_EQ(state.FlagColor[6], 33023);
    EXPECT_EQ(state.live.swatchColour[2], 255);
    EXPECT_TRUE(state.live.disabled[5]);
    EXPECT_FALSE(state.live.disabled[4]);
    EXPECT_EQ(state.live.minLapText, QStringLiteral("2.5"));
    EXPECT_EQ(state.live.delayText, QStringLiteral("0"));
    EXPECT_EQ(state.live.firstLapText, QStringLiteral("1"));
}

TEST(ApplySettings, FirstLapZeroAndNothingChosen) {
    RaceState state;
    state.ScaleFactor = 10;
    Settings s = defaultSettings();
    s.firstLapPos = 0;
    s.delayPos = 30;
    s.portPos = 15;
    applySettings(s, state);
    EXPECT_EQ(state.FirstLapIndex, -1);
    EXPECT_EQ(state.StartDelay, 30);
    EXPECT_EQ(state.CommPort, 16);

    Settings none = blankSettings();
    applySettings(none, state);
    EXPECT_EQ(state.ScaleFactor, 24);  // no scale chosen: the 1:24 factor stays
    EXPECT_EQ(state.ModelScale, QString());
    EXPECT_EQ(state.live.minLapText, QString());
    EXPECT_EQ(state.live.delayText, QString());
    EXPECT_EQ(state.live.firstLapText, QString());
    EXPECT_EQ(state.MinLapTime, 0.0f);
    EXPECT_EQ(state.TrackLength, 0);
}

TEST(SpeedMultiplierOf, ChosenTrackAndScale) {
    Settings s = defaultSettings();
    s.trackLengthPos = 40;  // 50 ft
    s.scalePos = 4;         // 1:10
    EXPECT_EQ(speedMultiplierOf(s), speedMultiplier(50, 10));
    s.scalePos = -1;
    EXPECT_EQ(speedMultiplierOf(s), 0.0f);
}

}  // namespace
}  // namespace lapdeck
