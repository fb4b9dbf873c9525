#include <gtest/gtest.h>

#include "ProgramFiles.h"
#include "RosterModel.h"
#include "TestSupport.h"

namespace lapdeck {
namespace {

using test::RecordingPrompter;
using test::strings;
using test::TempFolder;

TEST(ProperCase, FirstLetterOfEachWordUpperTheRestLower) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {{"anne marie", "Anne Marie"},
                          {"McRae", "Mcrae"},
                          {"BOB", "Bob"},
                          {"o'neil", "O'neil"},
                          {"x  y", "X  Y"},
                          {"", ""},
                          {"3rd car", "3rd Car"},
                          {"\xc3\xa9lise", "\xc3\x89lise"}};
    for (const Case& c : cases) {
        EXPECT_EQ(properCase(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
    }
}

class RosterTest : public ::testing::Test {
protected:
    QString file() const { return dir.file(FileNames::roster); }
    QByteArray onDisk() const { return dir.read(FileNames::roster); }
    RosterModel loaded() {
        RosterModel m(file());
        EXPECT_FALSE(m.load());
        return m;
    }
    TempFolder dir;
    RecordingPrompter yes{Answer::Yes};
    RecordingPrompter no{Answer::No};
};

TEST_F(RosterTest, AddTrimsProperCasesSortsTheListAndAppendsToTheFile) {
    RosterModel m(file());
    EXPECT_TRUE(m.load());  // no file yet: reported, list empty
    EXPECT_TRUE(m.entries().isEmpty());
    for (const char* name : {"zoe", "  ann  ", "BOB", "", "   "}) {
        EXPECT_FALSE(m.add(QString::fromUtf8(name), yes));
    }
    EXPECT_TRUE(yes.shown.empty());
    EXPECT_EQ(m.entries(), strings({"Ann", "Bob", "Zoe"}));
    EXPECT_EQ(onDisk(), QByteArray("\"Zoe\"\r\n\"Ann\"\r\n\"Bob\"\r\n"));
    EXPECT_EQ(m.countCaption(), QStringLiteral("Total number of Racers: 3"));
    // The list is rebuilt in alphabetical order from the file.
    EXPECT_EQ(loaded().entries(), strings({"Ann", "Bob", "Zoe"}));
    // Sorting ignores case.
    for (const char* name : {"de la cruz", "Dean", "DEB"}) {
        ASSERT_FALSE(m.add(QString::fromUtf8(name), yes));
    }
    EXPECT_EQ(m.entries(), strings({"Ann", "Bob", "De La Cruz", "Dean", "Deb", "Zoe"}));
}

TEST_F(RosterTest, AddingAnExistingNameOnlyShowsTheMessage) {
    RosterModel m(file());
    ASSERT_FALSE(m.add(QStringLiteral("Ann"), yes));
    const QByteArray before = onDisk();
    EXPECT_FALSE(m.add(QStringLiteral(" ann "), yes));
    ASSERT_EQ(yes.shown.size(), 1u);
    EXPECT_EQ(yes.shown[0].text, QStringLiteral("Ann already exists"));
    EXPECT_EQ(yes.shown[0].title, QString());
    EXPECT_EQ(yes.shown[0].icon, Icon::None);
    EXPECT_EQ(onDisk(), before);
    EXPECT_EQ(m.entries().size(), 1);
}

TEST_F(RosterTest, RenameKeepsThePlaceAndIsNeitherTrimmedNorChecked) {
    dir.write(FileNames::roster, "\"Zed\"\r\n\"Ann\"\r\n\"Bob\"\r\n");
    RosterModel m = loaded();
    ASSERT_EQ(m.entries(), strings({"Ann", "Bob", "Zed"}));
    EXPECT_FALSE(m.modify(0, QStringLiteral("bob")));
    EXPECT_EQ(m.entries(), strings({"Bob", "Bob", "Zed"}));
    EXPECT_FALSE(m.modify(1, QStringLiteral("zoe ")));
    EXPECT_EQ(m.entries(), strings({"Bob", "Zoe ", "Zed"}));
    EXPECT_EQ(onDisk(), QByteArray("\"Bob\"\r\n\"Zoe \"\r\n\"Zed\"\r\n"));
    // An empty answer leaves the entry, but the file is still rewritten in list order.
    dir.write(FileNames::roster, "\"Zed\"\r\n\"Bob\"\r\n\"Zoe \"\r\n");
    EXPECT_FALSE(m.modify(2, QString()));
    EXPECT_EQ(onDisk(), QByteArray("\"Bob\"\r\n\"Zoe \"\r\n\"Zed\"\r\n"));
}

TEST_F(RosterTest, NothingSelectedGivesTheMessageOfTheButton) {
    RosterModel empty(file());
    EXPECT_FALSE(empty.checkModifySelection(-1, yes));
    EXPECT_FALSE(empty.remove(-1, yes));
    dir.write(FileNames::roster, "\"Ann\"\r\n");
    RosterModel m = loaded();
    EXPECT_FALSE(m.checkModifySelection(1, yes));  // past the end: nothing selected
    EXPECT_TRUE(m.checkModifySelection(0, yes));
    ASSERT_EQ(yes.shown.size(), 3u);
    EXPECT_EQ(yes.shown[0].title, QStringLiteral("Modify"));
    EXPECT_EQ(yes.shown[0].text, QStringLiteral("Select name from list to modify"));
    EXPECT_EQ(yes.shown[0].icon, Icon::Information);
    EXPECT_EQ(yes.shown[1].title, QStringLiteral("Delete"));
    EXPECT_EQ(yes.shown[1].text, QStringLiteral("Select name from list to delete"));
    EXPECT_EQ(yes.shown[1].icon, Icon::Information);
    EXPECT_FALSE(yes.shown[1].question);
}

TEST_F(RosterTest, DeleteAsksAndOnlyYesRemoves) {
    dir.write(FileNames::roster, "\"Zoe\"\r\n\"Ann\"\r\n\"Bob\"\r\n");
    RosterModel m = loaded();
    const QByteArray before = onDisk();
    EXPECT_FALSE(m.remove(1, no));
    ASSERT_EQ(no.shown.size(), 1u);
    EXPECT_EQ(no.shown[0].title, QStringLiteral("Delete Racer"));
    EXPECT_EQ(no.shown[0].text, QStringLiteral("Delete Bob?"));
    EXPECT_EQ(no.shown[0].icon, Icon::Question);
    EXPECT_TRUE(no.shown[0].question);
    EXPECT_TRUE(no.shown[0].defaultNo);
    EXPECT_EQ(m.entries().size(), 3);
    EXPECT_EQ(onDisk(), before);

    EXPECT_FALSE(m.remove(1, yes));
    EXPECT_EQ(m.entries(), strings({"Ann", "Zoe"}));
    EXPECT_EQ(onDisk(), QByteArray("\"Ann\"\r\n\"Zoe\"\r\n"));  // the list's order now
    EXPECT_EQ(m.countCaption(), QStringLiteral("Total number of Racers: 2"));
}

TEST_F(RosterTest, AFileThatCannotBeWrittenLeavesTheListAsItWas) {
    RosterModel m(test::unwritableFolder(dir) + QStringLiteral("/rcRacers.dat"));
    const auto error = m.add(QStringLiteral("Ann"), yes);
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains(QLatin1String("rcRacers.dat")));
    EXPECT_TRUE(m.entries().isEmpty());
}

TEST_F(RosterTest, NamesWithQuotesAreStoredSoTheyReadBack) {
    RosterModel m(file());
    ASSERT_FALSE(m.add(QStringLiteral("o\"neil"), yes));
    EXPECT_EQ(loaded().entries(), strings({"O'neil"}));
    EXPECT_FALSE(m.add(QStringLiteral("O\"Neil"), yes));  // the same name once stored
    EXPECT_EQ(yes.shown.size(), 1u);
}

TEST_F(RosterTest, AppendAddsALineEndToALastLineWithout) {
    dir.write(FileNames::roster, "\"Ann\"");
    ASSERT_FALSE(appendToRoster(file(), QStringLiteral("Bob")));
    EXPECT_EQ(onDisk(), QByteArray("\"Ann\"\r\n\"Bob\"\r\n"));
}

TEST(RosterFile, ReadsOneQuotedNamePerLineSkippingBlankLines) {
    const LoadResult<QStringList> r =
        parseRoster("\"Ann\"\r\n\r\n\"\"\r\n\"Bob Lee\"\n\"Cy\"\r\n\r\n", FileNames::roster);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.value, strings({"Ann", "Bob Lee", "Cy"}));
    EXPECT_EQ(serializeRoster(r.value), QByteArray("\"Ann\"\r\n\"Bob Lee\"\r\n\"Cy\"\r\n"));
    EXPECT_TRUE(parseRoster(QByteArray(), FileNames::roster).value.isEmpty());
}

TEST(NamePickers, RosterPlusEmptyInAlphabeticalOrder) {
    EXPECT_EQ(namePickerEntries(strings({"Zoe", "Ann", "Bob"})),
              strings({"Ann", "Bob", "Empty", "Zoe"}));
    EXPECT_EQ(namePickerEntries({}), strings({"Empty"}));
    EXPECT_EQ(namePickerEntries(strings({"fay", "emma", "Eve"})),
              strings({"emma", "Empty", "Eve", "fay"}));
}

TEST(RacerNamesFile, SixQuotedNamesOnOneLineMissingOnesEmpty) {
    PerFlag<QString> names{};
    names[1] = QStringLiteral("Ann");
    names[3] = QStringLiteral("Empty");
    names[6] = QStringLiteral("Zo\u00eb");
    const QByteArray bytes = serializeRacerNames(names);
    EXPECT_EQ(bytes, QByteArray("\"Ann\",\"\",\"Empty\",\"\",\"\",\"Zo\xc3\xab\"\r\n"));
    EXPECT_EQ(parseRacerNames(bytes, FileNames::racerNames).value, names);

    const LoadResult<PerFlag<QString>> three =
        parseRacerNames("\"Ann\",\"Bob\",\"Cy\"\r\n", FileNames::racerNames);
    EXPECT_TRUE(three.ok());
    EXPECT_EQ(three.value[3], QStringLiteral("Cy"));
    EXPECT_EQ(three.value[4], QString());
    EXPECT_TRUE(parseRacerNames(QByteArray(), FileNames::racerNames).ok());

    TempFolder dir;
    const LoadResult<PerFlag<QString>> missing = loadRacerNames(dir.file(FileNames::racerNames));
    EXPECT_TRUE(missing.ok());
    EXPECT_EQ(missing.value, PerFlag<QString>{});
    ASSERT_FALSE(saveRacerNames(dir.file(FileNames::racerNames), three.value));
    EXPECT_EQ(dir.read(FileNames::racerNames),
              QByteArray("\"Ann\",\"Bob\",\"Cy\",\"\",\"\",\"\"\r\n"));
}

TEST(RacerNamesFile, UnclosedQuoteIsReportedAndTheRestKept) {
    const LoadResult<PerFlag<QString>> r = parseRacerNames("\"Ann\",\"Bob", FileNames::racerNames);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->field, 2);
    EXPECT_EQ(r.value[1], QStringLiteral("Ann"));
}

TEST(LagModeFile, OneQuotedTextDefaultingToLagFirst) {
    EXPECT_EQ(parseLagMode("\"Median\"\r\n", FileNames::raceLag).value, QStringLiteral("Median"));
    EXPECT_EQ(parseLagMode("\"Lag Behind\"", FileNames::raceLag).value,
              QStringLiteral("Lag Behind"));
    EXPECT_EQ(parseLagMode("\"\"\r\n", FileNames::raceLag).value, QStringLiteral("Lag First"));
    EXPECT_EQ(parseLagMode("", FileNames::raceLag).value, QStringLiteral("Lag First"));
    TempFolder dir;
    ASSERT_FALSE(saveLagMode(dir.file(FileNames::raceLag), QStringLiteral("Median")));
    EXPECT_EQ(dir.read(FileNames::raceLag), QByteArray("\"Median\"\r\n"));
    ASSERT_FALSE(saveLagMode(dir.file(FileNames::raceLag), QString()));
    EXPECT_EQ(dir.read(FileNames::raceLag), QByteArray("\"Lag First\"\r\n"));
}

TEST(SpeedMultiplierFile, AtMostSevenSignificantDigits) {
    EXPECT_EQ(serializeSpeedMultiplier(340.909090909f), QByteArray("340.9091\r\n"));
    EXPECT_EQ(serializeSpeedMultiplier(360.0f), QByteArray("360\r\n"));
    EXPECT_EQ(parseSpeedMultiplier("340.9091\r\n", FileNames::speedMultiplier).value, 340.9091f);
    EXPECT_EQ(parseSpeedMultiplier("360", FileNames::speedMultiplier).value, 360.0f);
    for (const char* bad : {"", "abc", "1e999", "-", "\"\""}) {
        EXPECT_FALSE(parseSpeedMultiplier(bad, FileNames::speedMultiplier).ok()) << bad;
    }
}

}  // namespace
}  // namespace lapdeck
