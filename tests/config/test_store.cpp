#include <gtest/gtest.h>

#include <QStandardPaths>

#include "ConfigStore.h"
#include "ProgramFiles.h"
#include "TestHelpers.h"

namespace lapdeck::test {
namespace {

const QByteArray kSettings =
    "12,7,1,3,0,\"Yellow\",\"Green\",\"Blue\",\"White\",\"Purple\",\"Orange\",\"65535\","
    "\"65280\",\"16744576\",\"16777215\",\"16711935\",\"33023\",1,0,0,1,0,1,0\r\n";

// A folder as a race left it: every file but RaceLag.dat.
void writeRaceFolder(const TempFolder& dir) {
    dir.write(FileNames::settings, kSettings);
    dir.write(FileNames::raceFormat, "13,0,#FALSE#,#TRUE#,#FALSE#,0\r\n");
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
    EXPECT_EQ(dir.read(FileNames::speedMultiplier), QByteArray("818.1818\r\n"));  // 50 ft, 1:24
    EXPECT_EQ(dir.read(FileNames::roster), QByteArray());
    std::vector<ConfigError> errors;
    store.loadAll(errors);
    EXPECT_TRUE(errors.empty()) << errors.front().message().toStdString();

    // Existing files are kept, and the multiplier follows their settings.
    TempFolder used;
    used.write(FileNames::settings, kSettings);  // 22 ft at 1:24
    used.write(FileNames::roster, "\"Ann\"\r\n");
    ASSERT_FALSE(ConfigStore(used.path()).seedMissingFiles());
    EXPECT_EQ(used.read(FileNames::settings), kSettings);
    EXPECT_EQ(used.read(FileNames::roster), QByteArray("\"Ann\"\r\n"));
    EXPECT_EQ(used.read(FileNames::speedMultiplier), QByteArray("360\r\n"));

    const auto error = ConfigStore(dir.missing()).seedMissingFiles();
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains(FileNames::settings));
}

// The hand-checked races load whole race folders this way; lap10_overtake's settings
// have a port past the end of the list and it has no RaceLag.dat.
TEST(StrictLoading, PortPastTheEndAndNoMultiplierFileAreNoErrors) {
    TempFolder dir;
    writeRaceFolder(dir);
    dir.write(FileNames::settings, "12,7,1,3,40" + kSettings.mid(10));
    QFile::remove(dir.file(FileNames::speedMultiplier));
    const auto loaded = ConfigStore(dir.path()).loadAllStrict();
    ASSERT_TRUE(std::holds_alternative<ConfigBundle>(loaded))
        << std::get<ConfigError>(loaded).message().toStdString();
    EXPECT_EQ(std::get<ConfigBundle>(loaded).roster, strings({"Ann", "Bob"}));
    EXPECT_EQ(std::get<ConfigBundle>(loaded).lagMode, LagColumn::LagFirst);  // no RaceLag.dat
    RaceState state;
    applyConfig(std::get<ConfigBundle>(loaded), state);
    EXPECT_EQ(state.CommPort, 1);
    EXPECT_EQ(state.SpeedMultiplier, 360.0f);  // the settings': 22 ft at 1:24
}

TEST(StrictLoading, WhatCouldNotBeLoadedFullyIsAnErrorNamingFileAndLine) {
    const std::tuple<QString, QByteArray, int> cases[] = {
        // file, its bytes (empty: removed), field (0: a whole-file error); each file's
        // fields are the parsers' tests
        {FileNames::settings, {}, 0},
        {FileNames::settings, kSettings.left(kSettings.indexOf("\"White\"")), 9},
        {FileNames::raceFormat, {}, 0},
        {FileNames::raceFormat, "13,0,#FALSE#\r\n", 4},
        {FileNames::speedMultiplier, "fast\r\n", 1},
        {FileNames::racerNames, "\"Ann\",\"Bob\r\n", 2},
        {FileNames::raceLag, "\"Median\r\n", 1}};
    for (const auto& [file, bytes, field] : cases) {
        TempFolder dir;
        writeRaceFolder(dir);
        if (bytes.isEmpty()) {
            QFile::remove(dir.file(file));
        } else {
            dir.write(file, bytes);
        }
        const auto loaded = ConfigStore(dir.path()).loadAllStrict();
        ASSERT_TRUE(std::holds_alternative<ConfigError>(loaded)) << file.toStdString();
        const ConfigError& error = std::get<ConfigError>(loaded);
        EXPECT_EQ(error.file, dir.file(file));
        EXPECT_EQ(error.field, field) << error.message().toStdString();
        EXPECT_EQ(error.line, field == 0 ? 0 : 1) << error.message().toStdString();
    }
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
    EXPECT_EQ(errors[0].message() + u'|' + errors[1].file,
              dir.file(FileNames::settings) +
                  qs(", line 1, field 3: position 99 is outside its list of 87 entries|") +
                  dir.file(FileNames::raceFormat));
    // 22 ft from the file, the default minimum lap of 2 s for the bad field.
    EXPECT_EQ(config.settings.trackLengthText() + config.settings.minLapText(), qs("222"));
    EXPECT_EQ(config.raceFormat, defaultRaceFormat());
    EXPECT_EQ(store.settings(), config.settings);
}

TEST(StoreOnOk, WritesTheFilesAndTheProgramReloadsThemOrReportsTheFailure) {
    TempFolder dir;
    ConfigStore store(dir.path());
    ASSERT_FALSE(store.seedMissingFiles());
    Settings edited = store.settings();
    edited.trackLengthPos = 40;  // 50 ft
    edited.scalePos = 4;         // 1:10
    PerFlag<QString> names{};
    names[2] = qs("Bob");
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

    ConfigStore nowhere(dir.missing());
    edited.delayPos = 0;
    const auto error = nowhere.storeSettings(edited, {});
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains(FileNames::settings));
    EXPECT_EQ(nowhere.settings(), defaultSettings()) << "nothing reloaded";
    EXPECT_TRUE(nowhere.storeRaceFormat(defaultRaceFormat()));
}

TEST(DataFolder, ExecutableFolderWhenWritableElseTheUserFolderElseAnError) {
    TempFolder dir;
    EXPECT_EQ(locateDataFolder(dir.path()).value, dir.path());
    const QByteArray home = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.file(qs("user")).toUtf8());
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const LoadResult<QString> fallback = locateDataFolder(dir.missing());
    EXPECT_TRUE(fallback.ok());
    EXPECT_EQ(fallback.value, user);
    EXPECT_TRUE(QDir(user).exists()) << "created";

    dir.write(qs("taken"), "a file where the user folder would go");
    qputenv("XDG_DATA_HOME", dir.file(qs("taken")).toUtf8());
    const LoadResult<QString> neither = locateDataFolder(dir.missing());
    ASSERT_FALSE(neither.ok());
    EXPECT_EQ(neither.value, dir.missing());
    const ConfigError& e = *neither.error;  // the folder at fault, no line or field
    EXPECT_EQ(e.message() + u'|' + QString::number(e.line) + QString::number(e.field),
              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                  qs(": no folder to keep the settings in can be written|00"));
    home.isEmpty() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", home);
}

}  // namespace
}  // namespace lapdeck::test
