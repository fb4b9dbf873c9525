#include "Settings.h"

#include <algorithm>

#include "DataFile.h"
#include "FieldReader.h"
#include "FieldWriter.h"
#include "NumberFormat.h"
#include "ValueLists.h"

namespace lapdeck {
namespace {

void readMark(FieldReader& reader, bool& target) {
    const auto mark = reader.readInt16();
    if (!mark) {
        return;
    }
    if (*mark != 0 && *mark != 1) {
        reader.failLastField(QStringLiteral("a disable mark must be 0 or 1, not ") +
                             QString::number(*mark));
        return;
    }
    target = *mark == 1;
}

int16_t wholeNumberOf(const QString& text) {
    const double value = roundHalfEven(leadingNumber(text));
    return static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0));
}

}  // namespace

QString Settings::trackLengthText() const {
    return ValueLists::entry(ValueLists::trackLengths(), trackLengthPos);
}
QString Settings::scaleText() const {
    return ValueLists::entry(ValueLists::scales(), scalePos);
}
QString Settings::minLapText() const {
    return ValueLists::entry(ValueLists::minLapTimes(), minLapPos);
}
QString Settings::delayText() const {
    return ValueLists::entry(ValueLists::startDelays(), delayPos);
}
QString Settings::portText() const {
    return ValueLists::entry(ValueLists::ports(), portPos);
}
QString Settings::firstLapText() const {
    return ValueLists::entry(ValueLists::firstLaps(), firstLapPos);
}

Settings blankSettings() {
    Settings s;
    for (int i = 1; i <= kFlags; ++i) {
        s.colourName[i] = defaultColourNames()[i - 1];
    }
    return s;
}

Settings defaultSettings() {
    Settings s;
    s.trackLengthPos = static_cast<int16_t>(
        ValueLists::positionOf(ValueLists::trackLengths(), QStringLiteral("50")));
    s.scalePos =
        static_cast<int16_t>(ValueLists::positionOf(ValueLists::scales(), QStringLiteral("1:24")));
    s.minLapPos = static_cast<int16_t>(
        ValueLists::positionOf(ValueLists::minLapTimes(), QStringLiteral("2")));
    s.delayPos = static_cast<int16_t>(
        ValueLists::positionOf(ValueLists::startDelays(), QStringLiteral("3")));
    s.portPos = 0;
    s.firstLapPos = 1;
    for (int i = 1; i <= kFlags; ++i) {
        s.colourName[i] = defaultColourNames()[i - 1];
        s.swatchColour[i] = colourNumber(s.colourName[i]).value_or(0);
        s.disabled[i] = false;
    }
    return s;
}

LoadResult<Settings> parseSettings(const QByteArray& bytes, const QString& fileName) {
    LoadResult<Settings> result{defaultSettings(), std::nullopt};
    Settings& s = result.value;
    FieldReader reader(fileName, bytes);

    reader.readPosition(ValueLists::trackLengths(), s.trackLengthPos);
    reader.readPosition(ValueLists::scales(), s.scalePos);
    reader.readPosition(ValueLists::minLapTimes(), s.minLapPos);
    reader.readPosition(ValueLists::startDelays(), s.delayPos);
    if (const auto port = reader.readInt16()) {
        // A port list that was once longer left positions past its end; they select
        // the first port.
        if (*port >= ValueLists::ports().size()) {
            s.portPos = 0;
        } else if (*port < -1) {
            reader.failLastField(QStringLiteral("position ") + QString::number(*port) +
                                 QStringLiteral(" is outside the port list"));
        } else {
            s.portPos = *port;
        }
    }
    for (int i = 1; i <= kFlags; ++i) {
        if (const auto name = reader.readText()) {
            s.colourName[i] = *name;
        }
    }
    for (int i = 1; i <= kFlags; ++i) {
        if (const auto number = reader.readInt32()) {
            s.swatchColour[i] = *number;
        }
    }
    for (int i = 1; i <= kFlags; ++i) {
        readMark(reader, s.disabled[i]);
    }
    reader.readPosition(ValueLists::firstLaps(), s.firstLapPos);
    result.error = reader.error();
    return result;
}

LoadResult<Settings> loadSettings(const QString& path) {
    return DataFile::load(path, parseSettings, defaultSettings(), DataFile::Missing::IsError);
}

QByteArray serializeSettings(const Settings& s) {
    FieldWriter w;
    w.number(s.trackLengthPos)
        .number(s.scalePos)
        .number(s.minLapPos)
        .number(s.delayPos)
        .number(s.portPos);
    for (int i = 1; i <= kFlags; ++i) {
        w.text(s.colourName[i]);
    }
    for (int i = 1; i <= kFlags; ++i) {
        w.text(QString::number(s.swatchColour[i]));
    }
    for (int i = 1; i <= kFlags; ++i) {
        w.number(s.disabled[i] ? 1 : 0);
    }
    w.number(s.firstLapPos).endLine();
    return w.bytes();
}

std::optional<ConfigError> saveSettings(const QString& path, const Settings& settings) {
    return DataFile::write(path, serializeSettings(settings));
}

float speedMultiplierOf(const Settings& settings) {
    const QString feet = settings.trackLengthText();
    const auto factor = convertScale(settings.scaleText());
    if (feet.isEmpty() || !factor) {
        return 0.0f;
    }
    return speedMultiplier(static_cast<int>(leadingNumber(feet)), *factor);
}

void applySettings(const Settings& settings, RaceState& state) {
    state.TrackLength = wholeNumberOf(settings.trackLengthText());
    state.ModelScale = settings.scaleText();
    if (const auto factor = convertScale(state.ModelScale)) {
        state.ScaleFactor = *factor;
    }
    state.MinLapTime = static_cast<float>(leadingNumber(settings.minLapText()));
    state.StartDelay = wholeNumberOf(settings.delayText());
    state.CommPort = wholeNumberOf(settings.portText());
    state.FirstLapIndex = static_cast<int16_t>(wholeNumberOf(settings.firstLapText()) - 1);
    for (int i = 1; i <= kFlags; ++i) {
        state.LaneColorName[i] = settings.colourName[i];
        state.FlagColor[i] = settings.swatchColour[i];
        state.Disabled[i] = settings.disabled[i];
    }
}

}  // namespace lapdeck
