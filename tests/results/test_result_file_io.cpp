#include "ResultFileIo.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "LapTable.h"
#include "ResultsTestSupport.h"

namespace lapdeck {
namespace {

using namespace testing_support;

QByteArray contentOf(const QString& fileName) {
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    return file.readAll();
}

TEST(ResultFileNames, OnlyAnExactLowerCaseTxtSelectsTheTextForm) {
    const std::pair<const char*, bool> cases[] = {
        {"/home/u/race1.txt", true},       {"/home/u/Laps Dec-05, 16-07", false},
        {"/home/u/Laps.TXT", false},       {"/home/u/heat.txt.bak", true},
        {"/home/u/my.txts/Summary", true}, {"/home/u/heat2.sum", false},
    };
    for (const auto& [name, text] : cases) {
        EXPECT_EQ(writesTextForm(QString::fromUtf8(name)), text) << name;
    }
}

TEST(ResultFileNames, OpenKindFollowsTheWholeName) {
    const std::pair<const char*, OpenKind> cases[] = {
        {"", OpenKind::Nothing},
        {"   ", OpenKind::Nothing},
        {"/data/race1.txt", OpenKind::Shell},
        {"/data/laptimes/heat2.sum", OpenKind::LapFile},  // the folder holds "lap"
        {"/data/heat2.lap", OpenKind::LapFile},
        {"/data/heat2.sum", OpenKind::SummaryFile},
        {"/data/LAPS.sum", OpenKind::SummaryFile},
        {"/data/Laps Dec-05, 16-07", OpenKind::SummaryFile},  // "Laps" is not "lap"
    };
    for (const auto& [name, kind] : cases) {
        EXPECT_EQ(openKindFor(QString::fromUtf8(name)), kind) << name;
    }
}

TEST(ResultFileNames, ProposedNamesAndRaceDateTime) {
    auto state = makeState(false, 0);
    ensureRaceDateTime(*state, QDateTime(QDate(2023, 12, 5), QTime(16, 7)));
    EXPECT_EQ(state->RaceDateTime, QStringLiteral("Dec-05, 16-07"));
    ensureRaceDateTime(*state, QDateTime(QDate(2024, 1, 9), QTime(8, 30)));
    EXPECT_EQ(state->RaceDateTime, QStringLiteral("Dec-05, 16-07"));  // a race end stays
    EXPECT_EQ(proposedLapFileName(QStringLiteral("/opt/lapdeck"), state->RaceDateTime),
              QStringLiteral("/opt/lapdeck/Laps Dec-05, 16-07"));
    EXPECT_EQ(proposedSummaryFileName(QStringLiteral("/opt/lapdeck"), state->RaceDateTime),
              QStringLiteral("/opt/lapdeck/Summary Dec-05, 16-07"));
}

class ResultFileIoTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<RaceState> state = makeState(false, 0);

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        setLaps(*state, 1, {10.0f, 9.5f, 9.75f, 10.25f});
        state->BestLapTime[1] = 9500;
        state->LastCrossing[1] = 39500;
        setOrder(*state, {1, 2, 3, 4, 5, 6});
        state->LapsUnsaved = true;
        state->SummaryUnsaved = true;
    }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
};

TEST_F(ResultFileIoTest, SavingTextReplacesAnExistingFileWhole) {
    const QString name = path("race1.txt");
    {
        QFile old(name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
    }
    LapTable table = buildLapTable(*state).value();
    SaveReport report = saveLapTable(*state, table.header, table.grid, name);
    EXPECT_TRUE(report.saved);
    EXPECT_EQ(contentOf(name), lapTextBytes(*state).value());
}

TEST_F(ResultFileIoTest, AFailedSaveSaysSoAndKeepsTheMark) {
    LapTable table = buildLapTable(*state).value();
    const QString name = path("no such folder/laps.lap");
    SaveReport report = saveLapTable(*state, table.header, table.grid, name);
    EXPECT_FALSE(report.saved);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(report.messages[0].title, QStringLiteral("File Not Saved"));
    EXPECT_TRUE(report.messages[0].text.contains(name));
    EXPECT_EQ(report.messages[0].icon, Icon::Exclamation);
    EXPECT_TRUE(state->LapsUnsaved);
    EXPECT_FALSE(QFile::exists(name));
}

TEST_F(ResultFileIoTest, SummaryTextWithoutPositionsIsStillWrittenAfterTheNotice) {
    state->RunningOrder = {};
    SummaryStats stats;
    SaveReport report = saveSummary(*state, stats, ResultGrid(), path("s.txt"));
    EXPECT_TRUE(report.saved);
    ASSERT_EQ(report.messages.size(), 2u);
    EXPECT_EQ(report.messages[0].text, QStringLiteral("Insufficent data to display summary"));
    EXPECT_EQ(report.messages[1].title, QStringLiteral("File Saved"));
    EXPECT_FALSE(state->SummaryUnsaved);
    EXPECT_EQ(crlfLines(contentOf(path("s.txt"))).size(), 5);  // 2 header lines, 2 empty
}

TEST_F(ResultFileIoTest, SavingClearsTheMarkAndTheFilesOpenAgainByTheirNames) {
    LapTable table = buildLapTable(*state).value();
    SummaryStats stats;
    RaceSummary summary = buildRaceSummary(*state, stats, QDateTime::currentDateTime()).value();
    const QString lapName = path("heat.lap");
    const QString sumName = path("heat.sum");
    SaveReport report = saveLapTable(*state, table.header, table.grid, lapName);
    ASSERT_TRUE(report.saved);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(report.messages[0],
              (ResultMessage{QStringLiteral("File Saved"),
                             QStringLiteral("File ") + lapName + QStringLiteral(" has been saved"),
                             Icon::Information}));
    EXPECT_FALSE(state->LapsUnsaved);
    EXPECT_TRUE(state->SummaryUnsaved);
    EXPECT_EQ(contentOf(lapName), lapFileBytes(table.header, table.grid));
    ASSERT_TRUE(saveSummary(*state, stats, summary.grid, sumName).saved);
    EXPECT_FALSE(state->SummaryUnsaved);

    Expected<OpenedResult> laps = openResultFile(lapName);
    ASSERT_TRUE(laps.ok()) << laps.error().text.toStdString();
    EXPECT_EQ(laps.value().kind, OpenKind::LapFile);
    EXPECT_EQ(laps.value().fileName, lapName);
    ASSERT_TRUE(laps.value().laps.has_value());
    EXPECT_EQ(laps.value().laps->grid.text(2, 1), QStringLiteral("10.00"));
    EXPECT_FALSE(laps.value().summary.has_value());

    Expected<OpenedResult> sum = openResultFile(sumName);
    ASSERT_TRUE(sum.ok()) << sum.error().text.toStdString();
    EXPECT_EQ(sum.value().kind, OpenKind::SummaryFile);
    ASSERT_TRUE(sum.value().summary.has_value());
    EXPECT_EQ(sum.value().summary->title, QStringLiteral("10 Lap Race"));
    EXPECT_EQ(sum.value().summary->grid.text(2, 3), QStringLiteral("4"));
}

TEST_F(ResultFileIoTest, TextAndEmptyNamesReadNothingAndUnreadableFilesAreExplained) {
    EXPECT_EQ(openResultFile(path("missing.txt")).value().kind, OpenKind::Shell);
    EXPECT_EQ(openResultFile(QStringLiteral("  ")).value().kind, OpenKind::Nothing);
    const QString truncated = path("cut.lap");
    ASSERT_FALSE(writeFileAtomically(truncated, "Title\r\nBlue\r\n").has_value());
    const QString huge = path("huge.sum");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(kMaxResultFileBytes + 1));
    }
    const QString folder = path("a folder.sum");
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::pair<QString, const char*> cases[] = {
        {truncated, "middle of a row"},
        {path("missing.sum"), "could not be opened"},
        {huge, "too large"},
        {folder, "could not be opened"},
    };
    for (const auto& [name, why] : cases) {
        Expected<OpenedResult> opened = openResultFile(name);
        ASSERT_FALSE(opened.ok()) << name.toStdString();
        EXPECT_TRUE(opened.error().text.contains(name)) << opened.error().text.toStdString();
        EXPECT_TRUE(opened.error().text.contains(QString::fromUtf8(why)))
            << opened.error().text.toStdString();
    }
}

}  // namespace
}  // namespace lapdeck
