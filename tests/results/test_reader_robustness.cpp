// Both readers on thousands of random and mutated files: each is read or explained,
// never a crash, and what is read always has the grid's shape.
#include <gtest/gtest.h>

#include <random>

#include "LapFile.h"
#include "LapTable.h"
#include "ResultsTestSupport.h"
#include "SummaryFile.h"

namespace lapdeck {
namespace {

using namespace testing_support;

QByteArray validLapFile() {
    auto state = makeState(false, -1);
    setLaps(*state, 2, {1.0f, 6.5f, 7.25f});
    setLaps(*state, 1, {0.5f, 6.0f});
    setOrder(*state, {2, 1, 3, 4, 5, 6});
    LapTable table = buildLapTable(*state).value();
    return lapFileBytes(table.header, table.grid);
}

QByteArray validSummaryFile() {
    auto state = makeState(false, 0);
    setLaps(*state, 1, {9.0f, 8.0f, 8.5f, 9.5f});
    state->BestLapTime[1] = 8000;
    setOrder(*state, {1, 2, 3, 4, 5, 6});
    SummaryStats stats;
    RaceSummary summary = buildRaceSummary(*state, stats, QDateTime()).value();
    return summaryFileBytes(state->RaceTitle, summary.grid);
}

QByteArray mutate(QByteArray bytes, std::mt19937& rng) {
    static const char kTokens[] = {',', '"', '\r', '\n', ' ', '\0', '\xff', 'x'};
    std::uniform_int_distribution<int> edits(1, 8);
    const int count = edits(rng);
    for (int i = 0; i < count && !bytes.isEmpty(); ++i) {
        std::uniform_int_distribution<qsizetype> at(0, bytes.size() - 1);
        const qsizetype pos = at(rng);
        switch (rng() % 4) {
            case 0:  // truncate
                bytes.truncate(pos);
                break;
            case 1:  // insert a delimiter or odd byte
                bytes.insert(pos, kTokens[rng() % sizeof kTokens]);
                break;
            case 2:  // overwrite
                bytes[pos] = static_cast<char>(rng() & 0xff);
                break;
            default:  // drop a run
                bytes.remove(pos, static_cast<qsizetype>(rng() % 40));
                break;
        }
    }
    return bytes;
}

QByteArray randomBytes(std::mt19937& rng) {
    static const char kAlphabet[] = ",\"\r\n \tabc019.";
    QByteArray bytes(static_cast<qsizetype>(rng() % 400), '\0');
    for (char& c : bytes) {
        c = (rng() % 3 == 0) ? static_cast<char>(rng() & 0xff)
                             : kAlphabet[rng() % (sizeof kAlphabet - 1)];
    }
    return bytes;
}

void checkLap(const QByteArray& bytes) {
    Expected<LapFileContent> read = readLapFile(bytes);
    if (read.ok()) {
        ASSERT_EQ(read.value().grid.columnCount(), kLapGridColumns);
        ASSERT_LE(read.value().grid.rowCount(), kLapFileMaxRows);
    } else {
        ASSERT_FALSE(read.error().text.isEmpty());
    }
}

void checkSummary(const QByteArray& bytes) {
    Expected<SummaryFileContent> read = readSummaryFile(bytes);
    if (read.ok()) {
        ASSERT_EQ(read.value().grid.rowCount(), kSummaryRows);
        ASSERT_EQ(read.value().grid.columnCount(), kSummaryColumns);
    } else {
        ASSERT_FALSE(read.error().text.isEmpty());
    }
}

TEST(ReaderRobustness, RandomAndMutatedFilesAreReadOrExplained) {
    std::mt19937 rng(20231205);
    const QByteArray lap = validLapFile();
    const QByteArray summary = validSummaryFile();
    int lapRead = 0;
    int summaryRead = 0;
    for (int i = 0; i < 3000; ++i) {
        const QByteArray inputs[] = {mutate(lap, rng), mutate(summary, rng), randomBytes(rng)};
        for (const QByteArray& bytes : inputs) {
            checkLap(bytes);
            checkSummary(bytes);
            if (::testing::Test::HasFatalFailure()) {
                FAIL() << "input " << i << ": " << bytes.toHex().toStdString();
            }
        }
        lapRead += readLapFile(inputs[0]).ok() ? 1 : 0;
        summaryRead += readSummaryFile(inputs[1]).ok() ? 1 : 0;
    }
    // The mutations must leave both outcomes common, or the test explores too little.
    EXPECT_GT(lapRead, 100);
    EXPECT_LT(lapRead, 2900);
    EXPECT_GT(summaryRead, 100);
    EXPECT_LT(summaryRead, 2900);
}

}  // namespace
}  // namespace lapdeck
