#include "LapFile.h"

#include <gtest/gtest.h>

#include "LapTable.h"
#include "ResultsTestSupport.h"

namespace lapdeck {
namespace {

using namespace testing_support;

QByteArray bytes(const char* text) {
    return QByteArray(text);
}

// Race beginning with lap 0: flag 2 leads with 3 laps, flag 1 has 2, flag 3 one;
// flag 4 is disabled; flags 5 and 6 have not crossed.
std::unique_ptr<RaceState> smallRace() {
    auto state = makeState(false, -1);
    state->RaceTitle = QStringLiteral("3 Lap Race");
    setLaps(*state, 2, {1.47f, 7.04f, 6.57f, 7.12f});
    setLaps(*state, 1, {0.75f, 6.47f, 6.87f});
    setLaps(*state, 3, {1.16f, 8.5f});
    state->live.disabled[4] = true;
    setOrder(*state, {2, 1, 4, 3, 5, 6});
    return state;
}

// Lap order even after the table was sorted; long names are written whole.
TEST(LapText, RaceListsEnabledFlagsInRunningOrderAndLapOrder) {
    auto state = smallRace();
    state->RacerName[1] = QStringLiteral("Bartholomew Jones");
    state->SortByLapTime = true;
    ASSERT_TRUE(buildLapTable(*state).ok());
    Expected<QByteArray> text = lapTextBytes(*state);
    ASSERT_TRUE(text.ok());
    // "Lap"/" No" and lap labels in 8, every flag column in 12; flag 4 left out.
    const QByteArray expected = bytes(
        "3 Lap Race\r\n"
        "Lap     Green       Yellow      Blue        Purple      Orange      \r\n"
        " No     Bob         Bartholomew JonesCy          Eve         Fay         \r\n"
        " 0      1.47        0.75        1.16        0.00        0.00        \r\n"
        " 1      7.04        6.47        8.50        0.00        0.00        \r\n"
        " 2      6.57        6.87        0.00        0.00        0.00        \r\n"
        " 3      7.12        0.00        0.00        0.00        0.00        \r\n"
        "\r\n");
    EXPECT_EQ(text.value(), expected);
}

TEST(LapText, PracticeKeepsEveryFlagUnderItsNameCaption) {
    auto state = makeState(true, 0);
    setLaps(*state, 1, {8.79f, 9.18f});
    setLaps(*state, 3, {4.71f, 4.95f, 4.74f});
    state->live.disabled[2] = true;
    state->screen.row[2].name = QStringLiteral(" Disabled");
    state->screen.row[6].name = QStringLiteral(" Select Name");
    // " No" in 7 here, so the captions' leading blanks line up under the colours.
    const QByteArray expected = bytes(
        "Practice\r\n"
        "Lap     Yellow      Green       Blue        White       Purple      Orange      \r\n"
        " No     Ann         Disabled    Cy          Dee         Eve         Select Name\r\n"
        " 1      8.79        0.00        4.71        0.00        0.00        0.00        \r\n"
        " 2      9.18        0.00        4.95        0.00        0.00        0.00        \r\n"
        " 3      0.00        0.00        4.74        0.00        0.00        0.00        \r\n"
        "\r\n");
    EXPECT_EQ(lapTextBytes(*state).value(), expected);
}

TEST(LapText, RaceWithoutPositionsIsRefused) {
    auto state = makeState(false, 0);
    Expected<QByteArray> text = lapTextBytes(*state);
    ASSERT_FALSE(text.ok());
    EXPECT_EQ(text.error().text, QStringLiteral("Insufficient data to view Laps"));
}

TEST(LapFile, WritesHeaderThenOneLinePerCell) {
    auto state = smallRace();
    LapTable table = buildLapTable(*state).value();
    const QByteArray file = lapFileBytes(table.header, table.grid);
    const QStringList lines = crlfLines(file);
    // 20 grid rows: 1 + 7 x 20 lines, each CR LF ended.
    ASSERT_EQ(lines.size(), 142);
    EXPECT_EQ(lines.last(), QString());
    EXPECT_EQ(lines.mid(0, 23),
              texts({"3 Lap Race", "",     "Green", "Yellow",   "White", "Blue", "Purple", "Orange",
                     "Laps",       "Bob",  "Ann",   "Disabled", "Cy",    "Eve",  "Fay",    "RT",
                     "1.47",       "0.75", "",      "1.16",     "",      "",     " 1"}));
    EXPECT_EQ(lines[141 - 7], QString());  // row 19 is empty
}

TEST(LapFile, ReadsBackWhatWasWritten) {
    auto state = smallRace();
    LapTable table = buildLapTable(*state).value();
    Expected<LapFileContent> read = readLapFile(lapFileBytes(table.header, table.grid));
    ASSERT_TRUE(read.ok()) << read.error().text.toStdString();
    const LapFileContent& content = read.value();
    EXPECT_EQ(content.title, QStringLiteral("3 Lap Race"));
    ASSERT_EQ(content.grid.rowCount(), 20);
    ASSERT_EQ(content.grid.columnCount(), 7);
    for (int r = 0; r < 20; ++r) {
        for (int k = 0; k < 7; ++k) {
            // Blanks around a field are dropped: " 1" comes back as "1".
            EXPECT_EQ(content.grid.text(r, k), table.grid.text(r, k).trimmed()) << r << "," << k;
            EXPECT_EQ(content.grid.cell(r, k).align,
                      r >= 2 ? CellAlign::Centre : CellAlign::LeftCentre);
        }
    }
    EXPECT_EQ(content.grid.text(3, 0), QStringLiteral("1"));
}

TEST(LapFile, QuotedFieldsLoseTheirQuotes) {
    Expected<LapFileContent> read =
        readLapFile(bytes("\"Heat, 2\"\r\n\"\"\r\n\"a,b\"\r\nc\r\nd\r\ne\r\nf\r\ng\r\n"));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value().title, QStringLiteral("Heat, 2"));
    EXPECT_EQ(read.value().grid.text(0, 1), QStringLiteral("a,b"));
}

QByteArray linesOf(int count) {
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        out += "x\r\n";
    }
    return out;
}

TEST(LapFile, EveryShapeIsReadOrExplained) {
    struct Case {
        QByteArray bytes;
        int rows;         // -1: refused
        const char* why;  // part of the message
    };
    const Case cases[] = {
        {QByteArray(), -1, "empty"},
        {"Practice\r\n", 0, ""},
        {"T\r\n" + linesOf(7), 1, ""},
        {"T\r\n" + linesOf(8), -1, "middle of a row"},
        {"T\r\nBlue\r\nGr", -1, "middle of a row"},
        // A comma in a name makes two cells, so the last row comes up one short.
        {"T\r\n" + linesOf(6) + "Bob, Jr\r\n" + linesOf(7), -1, "middle of a row"},
        {"T\r\n" + linesOf(7 * 3001), 3001, ""},
        {"T\r\n" + linesOf(7 * 3002), -1, "3001"},
        {QByteArray("\0\xff\x01,\r\r\n\"", 8), -1, "middle of a row"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.left(40).toStdString());
        Expected<LapFileContent> read = readLapFile(c.bytes);
        ASSERT_EQ(read.ok(), c.rows >= 0);
        if (read.ok()) {
            EXPECT_EQ(read.value().grid.rowCount(), c.rows);
            EXPECT_EQ(read.value().grid.columnCount(), 7);
        } else {
            EXPECT_TRUE(read.error().text.contains(QString::fromUtf8(c.why)))
                << read.error().text.toStdString();
            EXPECT_FALSE(read.error().title.isEmpty());
        }
    }
}

}  // namespace
}  // namespace lapdeck
