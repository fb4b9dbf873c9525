#include "ResultFileIo.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>

#include "LapFile.h"
#include "LapTable.h"
#include "ResultFieldReader.h"
#include "ResultsTestSupport.h"
#include "TextFile.h"

namespace lapdeck::test {
namespace {

TEST(ResultFileNames, TextFormOpenKindAndProposedNames) {
    // Name, then written as text (t) or not (-) and opened as nothing (0), by the shell
    // (1), or where the content cannot tell as a lap file (2) or a summary file (3).
    // Only ".txt" is text, and any "lap" in the name, folders included, makes a lap
    // file ("Laps" does not).
    for (const char* c : {"/home/u/race1.txt|t1", "/home/u/Laps Dec-05, 16-07|-3",
                          "/home/u/Laps.TXT|-3", "/home/u/heat.txt.bak|t1",
                          "/home/u/laptimes/heat2.sum|-2", "/home/u/heat2.lap|-2", "   |-0"}) {
        const QStringList p = qs(c).split(u'|');
        EXPECT_EQ(QString(writesTextForm(p[0]) ? u't' : u'-') +
                      QString::number(static_cast<int>(openKindFor(p[0]))),
                  p[1])
            << c;
    }
    auto state = makeState(false, 0);
    ensureRaceDateTime(*state, QDateTime(QDate(2023, 12, 5), QTime(16, 7)));
    ensureRaceDateTime(*state, QDateTime(QDate(2024, 1, 9), QTime(8, 30)));  // a race end stays
    EXPECT_EQ(proposedLapFileName(qs("/opt/lapdeck"), state->RaceDateTime),
              qs("/opt/lapdeck/Laps Dec-05, 16-07.lap"));
    EXPECT_EQ(proposedSummaryFileName(qs("/opt/lapdeck"), state->RaceDateTime),
              qs("/opt/lapdeck/Summary Dec-05, 16-07.sum"));
}

// A lap file and a summary file, each under names that would mislead the name's rule
// (the files of earlier versions had no extension), and a file neither format
// begins like, which the name decides.
TEST(ResultFileIo, OpenTellsLapFilesFromSummaryFilesByTheirContent) {
    TempFolder dir;
    ASSERT_TRUE(QDir().mkpath(dir.file(qs("laptimes"))));
    auto state = makeState(false, 0);
    setLaps(*state, 1, {10.0f, 9.5f, 9.7f});
    setOrder(*state, {1, 2, 3, 4, 5, 6});
    SummaryStats stats;
    const LapTable table = buildLapTable(*state).value();
    const QByteArray laps = lapFileBytes(table.header, table.grid);
    const QByteArray summary = summaryFileBytes(
        state->RaceTitle,
        buildRaceSummary(*state, stats, QDateTime::currentDateTime()).value().grid);
    // 105 cells: a whole summary, and 15 rows of a lap file.
    const QByteArray neither = "T\r\n" + QByteArray("x\r\n").repeated(105);
    const std::tuple<const char*, QByteArray, OpenKind> cases[] = {
        {"Laps Dec-07, 6-18", laps, OpenKind::LapFile},
        {"heat.sum", laps, OpenKind::LapFile},
        {"laptimes/heat2.sum", summary, OpenKind::SummaryFile},
        {"Summary Dec-07, 6-18", summary, OpenKind::SummaryFile},
        {"laptimes/odd", neither, OpenKind::LapFile},
        {"odd", neither, OpenKind::SummaryFile}};
    for (const auto& [name, bytes, kind] : cases) {
        dir.write(qs(name), bytes);
        const Expected<OpenedResult> opened = openResultFile(dir.file(qs(name)));
        ASSERT_TRUE(opened.ok()) << name << ": " << opened.error().text.toStdString();
        EXPECT_EQ(opened.value().kind, kind) << name;
        EXPECT_EQ(opened.value().laps.has_value(), kind == OpenKind::LapFile) << name;
    }
}

QStringList readAll(const QString& text) {
    QBuffer buffer;
    buffer.setData(text.toUtf8());
    buffer.open(QIODevice::ReadOnly);
    TextLineReader lines(buffer, kMaxResultLineBytes);
    ResultFieldReader reader(lines);
    QStringList fields;
    while (std::optional<QString> field = reader.next()) {
        fields << *field;
    }
    return fields;
}

// Each case is the text, then the fields read, "|"-separated.
TEST(ResultFieldReader, ReadsFieldsAsTheFilesAreReadBack) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"abc", "abc"},  // a last field without a line end, bare or quoted
        {"a,\"b\"", "a|b"},
        {"a\r\nb\r\n", "a|b"},  // the last line end adds no field
        {"a\r\n\r\n\r\nb\r\n", "a|||b"},
        {" 1 \r\n\t2.50\t\r\n", "1|2.50"},
        {"Bob, Jr\r\n", "Bob|Jr"},
        {"\" Bob, Jr \",x\r\n", " Bob, Jr |x"},
        {"\"ab\"cd,e", "ab|e"},   // text after the closing quote is dropped
        {"\"ab\r\ncd", "ab|cd"},  // an unclosed quote ends at the line end
        {"a\nb\rc", "a|b|c"},
        {"a,\r\nb", "a||b"},
        {"a,", "a|"}};
    for (const auto& [text, fields] : cases) {
        EXPECT_EQ(readAll(qs(text)).join(u'|'), qs(fields)) << text;
    }
}

}  // namespace
}  // namespace lapdeck::test
