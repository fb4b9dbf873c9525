#include "RaceFormat.h"

#include "DataFile.h"
#include "FieldReader.h"
#include "FieldWriter.h"
#include "ValueLists.h"

namespace lapdeck {
RaceOption RaceFormat::option() const {
    if (isPractice) {
        return RaceOption::Practice;
    }
    if (isLapRace) {
        return RaceOption::LapRace;
    }
    if (isTimedRace) {
        return RaceOption::TimedRace;
    }
    return RaceOption::None;
}

void RaceFormat::setOption(RaceOption option) {
    isPractice = option == RaceOption::Practice;
    isLapRace = option == RaceOption::LapRace;
    isTimedRace = option == RaceOption::TimedRace;
}

QString RaceFormat::lapsText() const {
    return ValueLists::entry(ValueLists::lapCounts(), lapsPos);
}

QString RaceFormat::minutesText() const {
    return ValueLists::entry(ValueLists::minuteCounts(), minutesPos);
}

int16_t RaceFormat::raceLaps() const {
    const QString text = lapsText();
    return text.isEmpty() ? int16_t{0} : static_cast<int16_t>(text.toInt());
}

int32_t RaceFormat::raceMinutes() const {
    const QString text = minutesText();
    return text.isEmpty() ? 0 : text.toInt();
}

RaceFormat defaultRaceFormat() {
    RaceFormat f;
    f.lapsPos =
        static_cast<int16_t>(ValueLists::positionOf(ValueLists::lapCounts(), QStringLiteral("10")));
    f.minutesPos = static_cast<int16_t>(
        ValueLists::positionOf(ValueLists::minuteCounts(), QStringLiteral("10")));
    f.setOption(RaceOption::LapRace);
    f.demo = false;
    return f;
}

LoadResult<RaceFormat> parseRaceFormat(const QByteArray& bytes, const QString& fileName) {
    LoadResult<RaceFormat> result{defaultRaceFormat(), std::nullopt};
    RaceFormat& f = result.value;
    FieldReader reader(fileName, bytes);
    reader.readPosition(ValueLists::lapCounts(), f.lapsPos);
    reader.readPosition(ValueLists::minuteCounts(), f.minutesPos);
    const auto timed = reader.readBool();
    const auto lap = reader.readBool();
    const auto practice = reader.readBool();
    if (timed && lap && practice) {
        // Resolved as the option buttons resolve them, so the race kind read by the
        // engine and the one the dialog shows always agree.
        RaceFormat stored;
        stored.isTimedRace = *timed;
        stored.isLapRace = *lap;
        stored.isPractice = *practice;
        f.setOption(stored.option());
    }
    if (const auto demo = reader.readInt16()) {
        if (*demo == 0 || *demo == 1) {
            f.demo = *demo == 1;
        } else {
            reader.failLastField(QStringLiteral("the demo mark must be 0 or 1, not ") +
                                 QString::number(*demo));
        }
    }
    result.error = reader.error();
    return result;
}

LoadResult<RaceFormat> loadRaceFormat(const QString& path) {
    return DataFile::load(path, parseRaceFormat, defaultRaceFormat(), DataFile::Missing::IsError);
}

QByteArray serializeRaceFormat(const RaceFormat& f) {
    FieldWriter w;
    w.number(f.lapsPos)
        .number(f.minutesPos)
        .truth(f.isTimedRace)
        .truth(f.isLapRace)
        .truth(f.isPractice)
        .number(f.demo ? 1 : 0)
        .endLine();
    return w.bytes();
}

std::optional<ConfigError> saveRaceFormat(const QString& path, const RaceFormat& format) {
    return DataFile::write(path, serializeRaceFormat(format));
}

void applyRaceFormat(const RaceFormat& format, RaceState& state) {
    state.RaceLaps = format.raceLaps();
    state.RaceMinutes = format.raceMinutes();
    const RaceOption option = format.option();
    state.IsPractice = option == RaceOption::Practice;
    state.IsLapRace = option == RaceOption::LapRace;
    state.IsTimedRace = option == RaceOption::TimedRace;
    state.Demo = format.demo;
}

}  // namespace lapdeck
