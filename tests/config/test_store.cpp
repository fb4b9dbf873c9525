#include <gtest/gtest.h>

#include <QStandardPaths>

#include "ConfigStore.h"
#include "ProgramFiles.h"
#include "TestSupport.h"

namespace lapdeck {
namespace {

using test::TempFolder;

const QByteArray kSettings =
    "12,7,1,3,0,\"Yellow\",\"Green\",\"Blue\",\"White\",\"Purple\",\"Orange\",\"65535\","
    "\"65280\",\"16744576\",\"16777215\",\"16711935\",\"33023\",1,0,0,1,0,1,0\r\n";
const QByteArray kFormat = "13,0,#FALSE#,#TRUE#,#FALSE#,0\r\n";

// A folder as a race left it: every file but RaceLag.dat.
void writeRaceFolder(const TempFolder& dir) {
    dir.write(FileNames::settings, kSettings);
    dir.write(FileNames::raceFormat, kFormat);
    dir.write(FileNames::speedMultiplier, "360\r\n");
    dir.write(FileNames::racerNames, "\"Ivy\",\"Bob\",\"Wes\",\"Zoe\",\"Lou\",\"Eli\"\r\n");
    dir.write(FileNames::roster, "\"Ann\"\r\n\"Bob\"\r\n");
}

TEST(Seeding, FreshFolderGetsWorkingDefaultsThatLoadWithoutAnyError) {
    TempFolder dir;
    ConfigStore store(dir.path());
    ASSERT_FALSE(store.seedMissingFiles());
    // 50 ft (position 40), 1:24 (7), minimum lap 2 (4), delay 3 (3), port 1 (0),
    // nothing disabled, begins with lap 1 (1).
    EXPECT_EQ(dir.read(FileNames::settings),
              QByteArray("40,7,4,3,0,\"Yellow\",\"Green\",\"Blue\",\"White\",\"Purple\","
                         "\"Orange\",\"65535\",\"65280\",\"16744576\",\"16777215\","
                         "\"16711935\",\"33023\",0,0,0,0,0,0,1\r\n"));
    // 10 laps (position 7), 10 minutes (9), lap race, no demo.
    EXPECT_EQ(dir.read(FileNames::raceFormat), QByteArray("7,9,#FALSE#,#TRUE#,#FALSE#,0\r\n"));
    EXPECT_EQ(dir.read(FileNames::racerNames), QByteArray("\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
    EXPECT_EQ(dir.read(FileNames::raceLag), QByteArray("\"Lag First\"\r\n"));
    // 50 / 5280 * 3600 * 24 = 818.18...
    EXPECT_EQ(dir.read(FileNames::speedMultiplier), QByteArray("818.1818\r\n"));
    EXPECT_EQ(dir.read(FileNames::roster), QByteArray());

    std::vector<ConfigError> errors;
    const ConfigBundle config = store.loadAll(errors);
    EXPECT_TRUE(errors.empty()) << errors.front().message().toStdString();
    RaceState state;
    applyConfig(config, state);
    EXPECT_EQ(state.SpeedMultiplier, 818.1818f);
    EXPECT_EQ(state.LagMode, QStringLiteral("Lag First"));
}

TEST(Seeding, ExistingFilesAreKeptAndTheMultiplierFollowsTheirSettings) {
    TempFolder dir;
    dir.write(FileNames::settings, kSettings);  // 22 ft at 1:24
    dir.write(FileNames::roster, "\"Ann\"\r\n");
    ASSERT_FALSE(ConfigStore(dir.path()).seedMissingFiles());
    EXPECT_EQ(dir.read(FileNames::settings), kSettings);
    EXPECT_EQ(dir.read(FileNames::roster), QByteArray("\"Ann\"\r\n"));
    EXPECT_EQ(dir.read(FileNames::speedMultiplier), QByteArray("360\r\n"));
    EXPECT_TRUE(dir.exists(FileNames::raceFormat));
}

TEST(Seeding, AFolderThatCannotBeWrittenIsReported) {
    TempFolder dir;
    const auto error = ConfigStore(test::unwritableFolder(dir)).seedMissingFiles();
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains(FileNames::settings));
}

TEST(StrictLoading, ReadsARaceFolder) {
    TempFolder dir;
    writeRaceFolder(dir);
    const auto loaded = ConfigStore(dir.path()).loadAllStrict();
    ASSERT_TRUE(std::holds_alternative<ConfigBundle>(loaded))
        << std::get<ConfigError>(loaded).message().toStdString();
    const ConfigBundle& config = std::get<ConfigBundle>(loaded);
    EXPECT_EQ(config.settings.minLapText(), QStringLiteral("1.25"));
    EXPECT_EQ(config.raceFormat.raceLaps(), 20);
    EXPECT_EQ(config.speedMultiplier, 360.0f);
    EXPECT_EQ(config.racerNames[1], QStringLiteral("Ivy"));
    EXPECT_EQ(config.racerNames[6], QStringLiteral("Eli"));
    EXPECT_EQ(config.roster.size(), 2);
    EXPECT_EQ(config.lagMode, QStringLiteral("Lag First"));  // no RaceLag.dat

    RaceState state;
    applyConfig(config, state);
    EXPECT_EQ(state.RacerName[4], QStringLiteral("Zoe"));
    EXPECT_TRUE(state.live.disabled[4]);
    EXPECT_FALSE(state.live.disabled[2]);
    EXPECT_EQ(state.FirstLapIndex, -1);
    EXPECT_EQ(state.SpeedMultiplier, 360.0f);
}

TEST(StrictLoading, WhatTheProgramCouldNotLoadFullyIsAnErrorNamingFileAndLine) {
    struct Case {
        const char* name;
        QString file;
        QByteArray bytes;  // empty: the file is removed
        int field;         // 0: a whole-file error
    };
    const Case cases[] = {
        {"settings missing", FileNames::settings, {}, 0},
        {"settings cut short", FileNames::settings, kSettings.left(kSettings.indexOf("\"White\"")),
         9},
        {"track position off the list", FileNames::settings, "500" + kSettings.mid(2), 1},
        {"format missing", FileNames::raceFormat, {}, 0},
        {"format not a number", FileNames::raceFormat, "x,0,#FALSE#,#TRUE#,#FALSE#,0\r\n", 1},
        {"format too few fields", FileNames::raceFormat, "13,0,#FALSE#\r\n", 4},
        {"multiplier not a number", FileNames::speedMultiplier, "fast\r\n", 1},
        {"names unclosed", FileNames::racerNames, "\"Ann\",\"Bob\r\n", 2},
        {"lag unclosed", FileNames::raceLag, "\"Median\r\n", 1},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        writeRaceFolder(dir);
        if (c.bytes.isEmpty()) {
            QFile::remove(dir.file(c.file));
        } else {
            dir.write(c.file, c.bytes);
        }
        const auto loaded = ConfigStore(dir.path()).loadAllStrict();
        ASSERT_TRUE(std::holds_alternative<ConfigError>(loaded)) << c.name;
        const ConfigError& error = std::get<ConfigError>(loaded);
        EXPECT_EQ(error.file, dir.file(c.file)) << c.name;
        EXPECT_EQ(error.field, c.field) << c.name << ": " << error.message().toStdString();
        EXPECT_EQ(error.line, c.field == 0 ? 0 : 1) << c.name;
        EXPECT_TRUE(error.message().contains(c.file)) << c.name;
    }
}

TEST(StrictLoading, PortPastTheEndAndNoLapsChosenAreNoErrors) {
    TempFolder dir;
    writeRaceFolder(dir);
    dir.write(FileNames::settings, "12,7,1,3,40" + kSettings.mid(10));
    dir.write(FileNames::raceFormat, "-1,-1,#FALSE#,#TRUE#,#FALSE#,0\r\n");
    QFile::remove(dir.file(FileNames::speedMultiplier));
    const auto loaded = ConfigStore(dir.path()).loadAllStrict();
    ASSERT_TRUE(std::holds_alternative<ConfigBundle>(loaded))
        << std::get<ConfigError>(loaded).message().toStdString();
    RaceState state;
    applyConfig(std::get<ConfigBundle>(loaded), state);
    EXPECT_EQ(state.CommPort, 1);
    EXPECT_EQ(state.RaceLaps, 0);
    EXPECT_EQ(state.RaceMinutes, 0);
    EXPECT_EQ(state.SpeedMultiplier, 360.0f);  // from the settings: 22 ft at 1:24
}

TEST(LenientLoading, ReportsEachBrokenFileAndGoesOnWithDefaults) {
    TempFolder dir;
    writeRaceFolder(dir);
    dir.write(FileNames::settings, "12,7,99,3\r\n");
    dir.write(FileNames::raceFormat, "");
    ConfigStore store(dir.path());
    std::vector<ConfigError> errors;
    const ConfigBundle config = store.loadAll(errors);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].message(),
              dir.file(FileNames::settings) +
                  QStringLiteral(", line 1, field 3: position 99 is outside its list of 87 "
                                 "entries"));
    EXPECT_TRUE(errors[1].message().contains(FileNames::raceFormat));
    EXPECT_EQ(config.settings.trackLengthText(), QStringLiteral("22"));
    EXPECT_EQ(config.settings.minLapText(), defaultSettings().minLapText());
    EXPECT_EQ(config.raceFormat, defaultRaceFormat());
    EXPECT_EQ(store.settings(), config.settings);
}

TEST(StoreOnOk, WritesTheFilesAndTheProgramReloadsThem) {
    TempFolder dir;
    ConfigStore store(dir.path());
    ASSERT_FALSE(store.seedMissingFiles());
    ASSERT_FALSE(store.reloadSettings());
    Settings edited = store.settings();
    edited.trackLengthPos = 40;  // 50 ft
    edited.scalePos = 4;         // 1:10
    PerFlag<QString> names{};
    names[2] = QStringLiteral("Bob");
    ASSERT_FALSE(store.storeSettings(edited, names));
    EXPECT_EQ(store.settings(), edited);
    EXPECT_EQ(dir.read(FileNames::speedMultiplier), QByteArray("340.9091\r\n"));
    EXPECT_EQ(dir.read(FileNames::racerNames), QByteArray("\"\",\"Bob\",\"\",\"\",\"\",\"\"\r\n"));
    EXPECT_EQ(store.loadSpeedMultiplier().value, 340.9091f);

    RaceFormat format = store.raceFormat();
    format.setOption(RaceOption::TimedRace);
    format.demo = true;
    ASSERT_FALSE(store.storeRaceFormat(format));
    EXPECT_EQ(dir.read(FileNames::raceFormat), QByteArray("7,9,#TRUE#,#FALSE#,#FALSE#,1\r\n"));
    EXPECT_EQ(store.raceFormat(), format);
}

TEST(StoreOnOk, AWriteFailureIsReturnedAndNothingReloaded) {
    TempFolder dir;
    ConfigStore store(test::unwritableFolder(dir));
    Settings edited = defaultSettings();
    edited.delayPos = 0;
    const auto error = store.storeSettings(edited, {});
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains(FileNames::settings));
    EXPECT_EQ(store.settings(), defaultSettings());
    EXPECT_TRUE(store.storeRaceFormat(defaultRaceFormat()));
}

TEST(DataFolder, ExecutableFolderWhenWritableElseUserDataFolder) {
    QStandardPaths::setTestModeEnabled(true);
    TempFolder dir;
    const LoadResult<QString> portable = locateDataFolder(dir.path());
    EXPECT_TRUE(portable.ok());
    EXPECT_EQ(portable.value, dir.path());

    const LoadResult<QString> fallback = locateDataFolder(test::unwritableFolder(dir));
    ASSERT_TRUE(fallback.ok()) << fallback.error->message().toStdString();
    EXPECT_EQ(fallback.value, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    EXPECT_TRUE(QDir(fallback.value).exists());
}

}  // namespace
}  // namespace lapdeck
