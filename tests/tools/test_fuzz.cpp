// Every reader of a file Lapdeck reads, on random bytes and on thousands of mutations
// of the real files of the hand-checked races: no crash, everything read is sound (a
// position inside its list, a grid of its shape), names are written back unchanged,
// and whatever cannot be read is explained.
#include <gtest/gtest.h>

#include <cmath>

#include <QDirIterator>

#include "Corrections.h"
#include "FieldWriter.h"
#include "Journal.h"
#include "LapFile.h"
#include "LapTable.h"
#include "ProgramFiles.h"
#include "RaceFormat.h"
#include "RaceSummary.h"
#include "Settings.h"
#include "SummaryFile.h"
#include "TestHelpers.h"
#include "ValueLists.h"

namespace lapdeck::test {
namespace {

void expectSound(const std::optional<ConfigError>& error, const QString& file) {
    if (error) {
        EXPECT_EQ(error->file, file);
        EXPECT_GE(error->line, 1);
        EXPECT_GE(error->field, 1);
        EXPECT_FALSE(error->reason.isEmpty());
    }
}

template <typename Texts>
Texts storable(Texts texts) {  // a double quote is written back as an apostrophe
    for (QString& t : texts) {
        t = FieldWriter::storable(t);
    }
    return texts;
}

bool inList(int position, const QStringList& list) {
    return position >= -1 && position < list.size();
}

// Returns whether the lap or the summary reader took the bytes.
bool runAllReaders(const QByteArray& bytes) {
    namespace VL = ValueLists;
    const LoadResult<Settings> settings = parseSettings(bytes, FileNames::settings);
    expectSound(settings.error, FileNames::settings);
    const Settings& s = settings.value;
    EXPECT_TRUE(inList(s.trackLengthPos, VL::trackLengths()) && inList(s.scalePos, VL::scales()) &&
                inList(s.minLapPos, VL::minLapTimes()) && inList(s.delayPos, VL::startDelays()) &&
                inList(s.portPos, VL::ports()) && inList(s.firstLapPos, VL::firstLaps()));

    const LoadResult<RaceFormat> format = parseRaceFormat(bytes, FileNames::raceFormat);
    expectSound(format.error, FileNames::raceFormat);
    const RaceFormat& f = format.value;
    EXPECT_TRUE(inList(f.lapsPos, VL::lapCounts()) && inList(f.minutesPos, VL::minuteCounts()));
    EXPECT_LE(int{f.isPractice} + int{f.isLapRace} + int{f.isTimedRace}, 1);

    const LoadResult<QStringList> roster = parseRoster(bytes, FileNames::roster);
    expectSound(roster.error, FileNames::roster);
    EXPECT_EQ(parseRoster(serializeRoster(roster.value), FileNames::roster).value,
              storable(roster.value));
    const LoadResult<PerFlag<QString>> names = parseRacerNames(bytes, FileNames::racerNames);
    expectSound(names.error, FileNames::racerNames);
    EXPECT_EQ(parseRacerNames(serializeRacerNames(names.value), FileNames::racerNames).value,
              storable(names.value));
    const LoadResult<LagColumn> lag = parseLagMode(bytes, FileNames::raceLag);
    expectSound(lag.error, FileNames::raceLag);
    const LoadResult<float> multiplier = parseSpeedMultiplier(bytes, FileNames::speedMultiplier);
    expectSound(multiplier.error, FileNames::speedMultiplier);
    EXPECT_TRUE(!multiplier.ok() || std::isfinite(multiplier.value));

    Expected<LapFileContent> laps = readLapFile(bytes);
    EXPECT_TRUE(laps.ok() ? laps.value().grid.columnCount() == kLapGridColumns &&
                                laps.value().grid.rowCount() <= kLapFileMaxRows
                          : !laps.error().text.isEmpty());
    Expected<SummaryFileContent> summary = readSummaryFile(bytes);
    EXPECT_TRUE(summary.ok() ? summary.value().grid.rowCount() == kSummaryRows &&
                                   summary.value().grid.columnCount() == kSummaryColumns
                             : !summary.error().text.isEmpty());
    std::optional<JournalError> journalError;
    const std::vector<JournalEntry> journal = parseJournal(bytes, &journalError);
    EXPECT_TRUE(journalError ? journal.empty() && !journalError->message.isEmpty() : true);

    // A change that reads is written back as read, and applies to any journal.
    std::vector<Correction> changes;
    for (const QString& line : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        QString why;
        const auto change = parseCorrectionLine(line, &why);
        EXPECT_TRUE(change ? parseCorrectionLine(correctionLine(*change)) == change
                           : !why.isEmpty());
        if (change) {
            changes.push_back(*change);
        }
    }
    effectiveJournal(journal, changes);

    return laps.ok() || summary.ok();
}

TEST(Fuzz, EveryReaderOnRandomAndMutatedFiles) {
    std::vector<QByteArray> seeds;
    QDirIterator it(QStringLiteral(LAPDECK_RACES_DIR), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        seeds.push_back(fileBytes(it.next()));
    }
    ASSERT_GT(seeds.size(), 40u);
    const QByteArray special("\",\r\n#-+.e 019\0\xff\xc3\t", 17);
    std::mt19937 rng(7);
    int read = 0;
    const int inputs = 10000;
    for (int i = 0; i < inputs && !::testing::Test::HasFailure(); ++i) {
        const QByteArray bytes = i % 5 == 0 ? randomBytes(rng, special)
                                            : mutated(seeds[rng() % seeds.size()], rng, special);
        read += runAllReaders(bytes) ? 1 : 0;
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "input " << i << ": " << bytes.toHex().toStdString();
        }
    }
    // Both outcomes must stay common, or the test explores too little.
    EXPECT_GT(read, inputs / 10) << read;
    EXPECT_LT(read, inputs * 9 / 10) << read;
}

}  // namespace
}  // namespace lapdeck::test
