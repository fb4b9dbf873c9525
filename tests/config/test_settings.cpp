#include <gtest/gtest.h>

#include "Settings.h"
#include "SettingsModel.h"
#include "TestHelpers.h"
#include "ValueLists.h"

namespace lapdeck::test {
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
    const Settings& v = r.value;
    EXPECT_EQ(QStringList({v.trackLengthText(), v.scaleText(), v.minLapText(), v.delayText(),
                           v.portText(), v.firstLapText()})
                  .join(u'|'),
              qs("22|1:24|2.5|0|1|1"));
    EXPECT_EQ(v.colourName[6] + QString::number(v.swatchColour[3]), qs("Orange16744576"));
    EXPECT_TRUE(v.disabled[5] && v.disabled[6] && !v.disabled[4]);
    EXPECT_EQ(serializeSettings(v), kExample);
    EXPECT_EQ(parseSettings(kExample.trimmed(), kFile).value, v);  // no line end

    Settings s = blankSettings();  // nothing chosen, an empty and a typed colour
    s.colourName[3] = QString();
    s.colourName[4] = qs("Pink");
    s.swatchColour[2] = -2147483647 - 1;
    const QByteArray bytes = serializeSettings(s);
    EXPECT_TRUE(bytes.startsWith("-1,-1,-1,-1,-1,\"Yellow\",\"Green\",\"\",\"Pink\","));
    EXPECT_EQ(parseSettings(bytes, kFile).value, s);
}

TEST(SettingsFile, BadFieldsAreErrorsNamingTheFieldAndKeepWhatWasRead) {
    const std::tuple<int, const char*, const char*> cases[] = {
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
        {24, "#TRUE#", "not a whole number"}};
    for (const auto& [field, value, reason] : cases) {
        SCOPED_TRACE(std::to_string(field) + "=" + value);
        const LoadResult<Settings> r = parseSettings(exampleWith(field, value), kFile);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error->file + u',' + QString::number(r.error->line) + u',' +
                      QString::number(r.error->field),
                  kFile + QStringLiteral(",1,%1").arg(field));
        EXPECT_TRUE(r.error->reason.contains(QLatin1String(reason)))
            << r.error->reason.toStdString();
        // The fields around the bad one are still taken from the file.
        EXPECT_EQ(r.value.scaleText(), qs("1:24"));
        EXPECT_TRUE(r.value.disabled[6] || field == 23);
    }
}

TEST(SettingsFile, ShortFileReportsTheFirstMissingFieldAndDefaultsTheRest) {
    // Cut after field 10: the five colour names read, the rest from the defaults.
    const LoadResult<Settings> r =
        parseSettings(kExample.left(kExample.indexOf("\"Orange\"") - 1), kFile);
    EXPECT_EQ(r.error->message(),
              kFile + qs(", line 1, field 11: the file ends too early (a field is missing)"));
    EXPECT_EQ(serializeSettings(r.value),
              QByteArray("12,7,6,0,0,\"Yellow\",\"Green\",\"Blue\",\"White\",\"Purple\","
                         "\"Orange\",\"65535\",\"65280\",\"16744576\",\"16777215\",\"16711935\","
                         "\"33023\",0,0,0,0,0,0,1\r\n"));
    const LoadResult<Settings> empty = parseSettings(QByteArray(), kFile);
    EXPECT_EQ(empty.error->field, 1);
    EXPECT_EQ(empty.value, defaultSettings());
}

TEST(SettingsModel, ColourPicksRecolourTheirSwatchAndDisableMarksGreyTheirList) {
    Settings start = defaultSettings();
    start.disabled[4] = true;
    SettingsModel m(start);
    m.cmbLane_Click(2, qs("Red"));
    m.cmbLane_Click(3, qs("Pink"));  // no colour of the table: the swatch stays
    m.cmbLane_Click(0, qs("Grey"));  // no such flag: ignored
    m.cmbLane_Click(7, qs("Grey"));
    EXPECT_EQ(QStringList(m.value().colourName.begin() + 1, m.value().colourName.end()),
              strings({"Yellow", "Red", "Pink", "White", "Purple", "Orange"}));
    EXPECT_EQ(m.value().swatchColour[2] + m.value().swatchColour[3], 255 + 16744576);
    EXPECT_FALSE(m.colourListEnabled(4));
    m.chkDisable_Click(1, true);
    m.chkDisable_Click(4, false);
    for (int i = 0; i <= kFlags + 1; ++i) {
        EXPECT_EQ(m.colourListEnabled(i), i >= 2 && i <= kFlags) << "flag " << i;
    }
    EXPECT_TRUE(m.value().disabled[1]);
}

TEST(SettingsModel, OkNeedsEveryListButTheColoursAndKeepsNoPositionOffTheLists) {
    SettingsModel complete(defaultSettings());
    complete.cmbLane_Click(3, QString());  // an empty colour is not missing
    EXPECT_FALSE(complete.validate());
    const UserMessage missing{qs("Missing options"), qs("Please select all options"), Icon::Error};
    using Setter = void (SettingsModel::*)(int);
    for (Setter clear : {&SettingsModel::setTrackLengthPos, &SettingsModel::setScalePos,
                         &SettingsModel::setMinLapPos, &SettingsModel::setDelayPos,
                         &SettingsModel::setPortPos, &SettingsModel::setFirstLapPos}) {
        SettingsModel m(defaultSettings());
        (m.*clear)(-1);
        EXPECT_EQ(m.validate(), missing);
    }
    EXPECT_EQ(SettingsModel(blankSettings()).validate(), missing);

    Settings stored = defaultSettings();
    stored.portPos = 20;
    SettingsModel m(stored);
    EXPECT_EQ(m.value().portPos, 0);
    m.setPortPos(16);
    EXPECT_EQ(m.value().portPos, 0);
    m.setTrackLengthPos(492);
    EXPECT_EQ(m.value().trackLengthPos, -1);
    m.setTrackLengthPos(491);
    EXPECT_EQ(m.value().trackLengthText(), qs("5280"));
}

// What the race takes from the settings: whole numbers from the list texts, the
// first lap index one below the first lap, and a scale factor only from a scale.
TEST(ApplySettings, TheRaceSeesTheNumbersOfTheChosenEntries) {
    RaceState state;
    state.ScaleFactor = 99;
    Settings s = parseSettings(exampleWith(24, "0"), kFile).value;
    s.delayPos = 30;
    s.portPos = 15;
    s.swatchColour[2] = 255;
    applySettings(s, state);
    const std::string race =
        std::to_string(state.TrackLength) + " " + state.ModelScale.toStdString() + " " +
        std::to_string(state.ScaleFactor) + " " + std::to_string(state.StartDelay) + " " +
        std::to_string(state.CommPort) + " " + std::to_string(state.FirstLapIndex);
    EXPECT_EQ(race, "22 1:24 24 30 16 -1");
    EXPECT_EQ(state.MinLapTime, 2.5f);
    EXPECT_EQ(state.FlagColor[2], 255);
    EXPECT_TRUE(state.Disabled[5] && !state.Disabled[4]);

    applySettings(blankSettings(), state);
    EXPECT_EQ(state.ScaleFactor, 24) << "no scale chosen: the factor stays";
    EXPECT_EQ(state.TrackLength + state.MinLapTime + state.StartDelay, 0.0f);
}

}  // namespace
}  // namespace lapdeck::test
