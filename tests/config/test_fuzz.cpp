#include <gtest/gtest.h>

#include <random>

#include "FieldWriter.h"
#include "ProgramFiles.h"
#include "RaceFormat.h"
#include "Settings.h"
#include "TestSupport.h"
#include "ValueLists.h"

namespace lapdeck {
namespace {

// Bytes the readers treat specially come up far more often than chance would
// give them.
QByteArray randomBytes(std::mt19937& rng) {
    static const char kSpecial[] = {'"', ',', '\r', '\n', '#', '-',  '+',    '.',
                                    'e', ' ', '0',  '1',  '9', '\0', '\xff', '\xc3'};
    std::uniform_int_distribution<int> length(0, 160);
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_int_distribution<int> special(0, sizeof kSpecial - 1);
    std::uniform_int_distribution<int> any(0, 255);
    QByteArray out;
    const int n = length(rng);
    for (int i = 0; i < n; ++i) {
        out.append(pick(rng) == 0 ? static_cast<char>(any(rng)) : kSpecial[special(rng)]);
    }
    return out;
}

QByteArray mutate(QByteArray bytes, std::mt19937& rng) {
    std::uniform_int_distribution<int> times(1, 4);
    std::uniform_int_distribution<int> kind(0, 4);
    std::uniform_int_distribution<int> byte(0, 255);
    const int n = times(rng);
    for (int i = 0; i < n && !bytes.isEmpty(); ++i) {
        std::uniform_int_distribution<qsizetype> at(0, bytes.size() - 1);
        const qsizetype p = at(rng);
        switch (kind(rng)) {
            case 0:
                bytes[p] = static_cast<char>(byte(rng));
                break;
            case 1:
                bytes.insert(p, static_cast<char>(byte(rng)));
                break;
            case 2:
                bytes.remove(p, 1);
                break;
            case 3:
                bytes.truncate(p);
                break;
            default:
                bytes.insert(p, bytes.mid(p, 12));
                break;
        }
    }
    return bytes;
}

bool positionValid(int position, const QStringList& list) {
    return position >= -1 && position < list.size();
}

void checkError(const std::optional<ConfigError>& error, const QString& file) {
    if (error) {
        EXPECT_EQ(error->file, file);
        EXPECT_GE(error->line, 1);
        EXPECT_GE(error->field, 1);
        EXPECT_FALSE(error->reason.isEmpty());
    }
}

// A bare (unquoted) text may hold a double quote; it is written back as an
// apostrophe, deliberately, so that it reads back at all.
QStringList storable(const QStringList& texts) {
    QStringList out;
    for (const QString& t : texts) {
        out.append(FieldWriter::storable(t));
    }
    return out;
}
PerFlag<QString> storable(PerFlag<QString> texts) {
    for (QString& t : texts) {
        t = FieldWriter::storable(t);
    }
    return texts;
}
Settings storable(Settings s) {
    s.colourName = storable(s.colourName);
    return s;
}

// Every reader on every input: no crash, positions always inside their lists, and
// whatever was read without error is written back and read again unchanged.
void runAllReaders(const QByteArray& bytes) {
    const LoadResult<Settings> settings = parseSettings(bytes, FileNames::settings);
    checkError(settings.error, FileNames::settings);
    const Settings& s = settings.value;
    EXPECT_TRUE(positionValid(s.trackLengthPos, ValueLists::trackLengths()));
    EXPECT_TRUE(positionValid(s.scalePos, ValueLists::scales()));
    EXPECT_TRUE(positionValid(s.minLapPos, ValueLists::minLapTimes()));
    EXPECT_TRUE(positionValid(s.delayPos, ValueLists::startDelays()));
    EXPECT_TRUE(positionValid(s.portPos, ValueLists::ports()));
    EXPECT_TRUE(positionValid(s.firstLapPos, ValueLists::firstLaps()));
    if (settings.ok()) {
        EXPECT_EQ(parseSettings(serializeSettings(s), FileNames::settings).value, storable(s));
    }

    const LoadResult<RaceFormat> format = parseRaceFormat(bytes, FileNames::raceFormat);
    checkError(format.error, FileNames::raceFormat);
    EXPECT_TRUE(positionValid(format.value.lapsPos, ValueLists::lapCounts()));
    EXPECT_TRUE(positionValid(format.value.minutesPos, ValueLists::minuteCounts()));
    const int options =
        int{format.value.isPractice} + int{format.value.isLapRace} + int{format.value.isTimedRace};
    EXPECT_LE(options, 1);
    if (format.ok()) {
        EXPECT_EQ(parseRaceFormat(serializeRaceFormat(format.value), FileNames::raceFormat).value,
                  format.value);
    }

    const LoadResult<QStringList> roster = parseRoster(bytes, FileNames::roster);
    checkError(roster.error, FileNames::roster);
    EXPECT_EQ(parseRoster(serializeRoster(roster.value), FileNames::roster).value,
              storable(roster.value));

    const LoadResult<PerFlag<QString>> names = parseRacerNames(bytes, FileNames::racerNames);
    checkError(names.error, FileNames::racerNames);
    EXPECT_EQ(parseRacerNames(serializeRacerNames(names.value), FileNames::racerNames).value,
              storable(names.value));

    const LoadResult<QString> lag = parseLagMode(bytes, FileNames::raceLag);
    checkError(lag.error, FileNames::raceLag);
    EXPECT_FALSE(lag.value.isEmpty());

    const LoadResult<float> multiplier = parseSpeedMultiplier(bytes, FileNames::speedMultiplier);
    checkError(multiplier.error, FileNames::speedMultiplier);
    if (multiplier.ok()) {
        EXPECT_TRUE(std::isfinite(multiplier.value));
    }
}

TEST(Fuzz, RandomBytes) {
    std::mt19937 rng(20240611);
    for (int i = 0; i < 2000 && !::testing::Test::HasFailure(); ++i) {
        runAllReaders(randomBytes(rng));
    }
}

TEST(Fuzz, MutatedValidFiles) {
    const QByteArray seeds[] = {
        "12,7,6,0,0,\"Yellow\",\"Green\",\"Blue\",\"White\",\"Purple\",\"Orange\",\"65535\","
        "\"65280\",\"16744576\",\"16777215\",\"16711935\",\"33023\",0,0,0,0,1,1,1\r\n",
        "14,15,#FALSE#,#TRUE#,#FALSE#,0\r\n",
        "\"Ann\",\"Bob\",\"\",\"Empty\",\"Zo\xc3\xab\",\"Eli\"\r\n",
        "\"Ann\"\r\n\"Bob Lee\"\r\n\"Cara\"\r\n",
        "\"Lag Behind\"\r\n",
        "340.9091\r\n",
    };
    std::mt19937 rng(7);
    for (int i = 0; i < 3000 && !::testing::Test::HasFailure(); ++i) {
        runAllReaders(mutate(seeds[i % std::size(seeds)], rng));
    }
}

}  // namespace
}  // namespace lapdeck
