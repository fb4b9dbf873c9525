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

// Whether the file was written, then each message as "title|text (icon)".
std::string report(const SaveReport& r) {
    std::string out = r.saved ? "saved" : "not saved";
    for (const ResultMessage& m : r.messages) {
        out += "; " + (m.title + u'|' + m.text).toStdString() + " (" +
               std::to_string(static_cast<int>(m.icon)) + ")";
    }
    return out;
}

// Saving and opening a race's files again are the results windows' tests.
TEST(ResultFileIo, AFailedSaveSaysSoAndKeepsTheMark) {
    TempFolder dir;
    auto state = makeState(false, 0);
    setLaps(*state, 1, {10.0f, 9.5f});
    setOrder(*state, {1, 2, 3, 4, 5, 6});
    state->LapsUnsaved = state->SummaryUnsaved = true;
    const LapTable table = buildLapTable(*state).value();
    const QString name = dir.missing() + qs("/laps.lap");
    const std::string failed = report(saveLapTable(*state, table.header, table.grid, name));
    // "File NAME could not be opened. " and the system's reason, with an exclamation.
    EXPECT_EQ(failed.find("not saved; File Not Saved|File " + name.toStdString() + " could not"),
              0u);
    EXPECT_EQ(failed.substr(failed.size() - 4), " (2)");
    EXPECT_TRUE(state->LapsUnsaved);
    EXPECT_FALSE(QFile::exists(name));

    // A race without positions: the summary text is still written after the notice.
    state->RunningOrder = {};
    SummaryStats stats;
    const QString text = dir.file(qs("s.txt"));
    EXPECT_EQ(report(saveSummary(*state, stats, ResultGrid(), text)),
              "saved; Summary|Insufficent data to display summary (1); File Saved|File " +
                  text.toStdString() + " has been saved (1)");
    EXPECT_FALSE(state->SummaryUnsaved);
}

// A file opens as its content shows: a lap file and a summary file under names
// that would mislead the name's rule (the files of earlier versions had no
// extension), then a file neither format begins like, which the name decides; what
// cannot be opened is explained.
TEST(ResultFileIo, OpenReadsAFileAsItsContentShowsOrSaysWhyNot) {
    TempFolder dir;
    EXPECT_EQ(openResultFile(dir.file(qs("missing.txt"))).value().kind, OpenKind::Shell);
    EXPECT_EQ(openResultFile(qs("  ")).value().kind, OpenKind::Nothing);
    auto state = makeState(false, 0);
    setOrder(*state, {1, 2, 3, 4, 5, 6});
    SummaryStats stats;
    const LapTable table = buildLapTable(*state).value();
    ASSERT_TRUE(QDir().mkpath(dir.file(qs("laptimes/a folder.sum"))));
    dir.write(qs("Laps Dec-07, 6-18"), lapFileBytes(table.header, table.grid));
    dir.write(qs("laptimes/heat2.sum"),
              summaryFileBytes(state->RaceTitle, buildRaceSummary(*state, stats, {}).value().grid));
    // 105 cells: a whole summary, and 15 rows of a lap file.
    dir.write(qs("odd"), "T\r\n" + QByteArray("x\r\n").repeated(105));
    dir.write(qs("laptimes/odd"), dir.read(qs("odd")));
    dir.write(qs("cut.lap"), "Title\r\nBlue\r\n");
    dir.write(qs("huge.sum"), "");
    ASSERT_TRUE(QFile::resize(dir.file(qs("huge.sum")), kMaxResultFileBytes + 1));
    const std::pair<const char*, const char*> cases[] = {
        {"Laps Dec-07, 6-18", "<laps>"}, {"laptimes/heat2.sum", "<summary>"},
        {"laptimes/odd", "<laps>"},      {"odd", "<summary>"},
        {"cut.lap", "middle of a row"},  {"missing.sum", "could not be opened"},
        {"huge.sum", "too large"},       {"laptimes/a folder.sum", "could not be opened"}};
    for (const auto& [name, read] : cases) {
        Expected<OpenedResult> opened = openResultFile(dir.file(qs(name)));
        const QString shown = !opened               ? opened.error().text
                              : opened.value().laps ? qs("<laps>")
                                                    : qs("<summary>");
        EXPECT_TRUE(shown.contains(qs(read)) && (opened || shown.contains(dir.file(qs(name)))))
            << name << ": " << shown.toStdString();
    }
}

QStringList readAll(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
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
        {"a\nb\rc\r\r\n", "a|b|c|"},
        {"a,\r\nb", "a||b"},
        {"a,", "a|"},
        {"\xEF\xBB\xBFZo\xC3\xAB", "Zo\u00eb"},  // UTF-8, its byte-order mark dropped
        {"Zo\xC3\xAB\r\nRen\xE9", "Zo\u00c3\u00ab|Ren\u00e9"}};  // one line not UTF-8: all 1252
    for (const auto& [text, fields] : cases) {
        EXPECT_EQ(readAll(text).join(u'|'), qs(fields)) << text;
    }
    // A CR LF split between two reads of the file is one line end.
    EXPECT_EQ(readAll("xxx\r\n" + QByteArray("x\r\n").repeated(21844)).size(), 21845);
}

}  // namespace
}  // namespace lapdeck::test
