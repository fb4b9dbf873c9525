#pragma once

#include <initializer_list>
#include <memory>

#include <QString>
#include <QStringList>

#include "RaceState.h"

namespace lapdeck::testing_support {

inline const QString kNames[] = {{},
                                 QStringLiteral("Ann"),
                                 QStringLiteral("Bob"),
                                 QStringLiteral("Cy"),
                                 QStringLiteral("Dee"),
                                 QStringLiteral("Eve"),
                                 QStringLiteral("Fay")};
inline const QString kColours[] = {{},
                                   QStringLiteral("Yellow"),
                                   QStringLiteral("Green"),
                                   QStringLiteral("Blue"),
                                   QStringLiteral("White"),
                                   QStringLiteral("Purple"),
                                   QStringLiteral("Orange")};
inline constexpr int32_t kColourNumbers[] = {0, 65535, 65280, 16744576, 16777215, 16711935, 33023};

// A race state filled by hand: names, colours, no laps, no positions yet.
inline std::unique_ptr<RaceState> makeState(bool practice, int firstLapIndex) {
    auto state = std::make_unique<RaceState>();
    state->IsPractice = practice;
    state->IsLapRace = !practice;
    state->FirstLapIndex = static_cast<int16_t>(firstLapIndex);
    state->RaceTitle = practice ? QStringLiteral("Practice") : QStringLiteral("10 Lap Race");
    state->SpeedMultiplier = 360.0f;
    for (int f = 1; f <= kFlags; ++f) {
        state->RacerName[f] = kNames[f];
        state->LaneColorName[f] = kColours[f];
        state->FlagColor[f] = kColourNumbers[f];
        state->live.swatchColour[f] = kColourNumbers[f];
        state->screen.row[f].colour = kColourNumbers[f];
        state->screen.row[f].name = u' ' + kNames[f];
        state->LapCount[f] = static_cast<int16_t>(firstLapIndex);
        state->BestLapTime[f] = kNoBestLap;
    }
    return state;
}

// Stores a flag's laps from lap index FirstLapIndex + 1 on (so the first is the "RT"
// entry when the race begins with lap 0), as lap counting does.
inline void setLaps(RaceState& state, int flag, std::initializer_list<float> laps) {
    int n = state.FirstLapIndex;
    for (float lap : laps) {
        ++n;
        state.LapTimes[flag][n] = lap;
        state.SortedLapTimes[flag][n] = lap;
    }
    state.LapCount[flag] = static_cast<int16_t>(n);
}

// Running order by position 1..6, and the matching positions.
inline void setOrder(RaceState& state, std::initializer_list<int> flags) {
    int p = 0;
    for (int f : flags) {
        ++p;
        state.RunningOrder[p] = static_cast<int16_t>(f);
        state.Position[f] = static_cast<int16_t>(p);
    }
}

// Texts from plain literals ("" for an empty cell).
inline QStringList texts(std::initializer_list<const char*> literals) {
    QStringList list;
    for (const char* literal : literals) {
        list << QString::fromUtf8(literal);
    }
    return list;
}

// Lines of a CR LF text; fails loudly (an "<LF>" marker) on a bare line feed.
inline QStringList crlfLines(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    for (QString& line : lines) {
        line.replace(u'\n', QStringLiteral("<LF>"));
    }
    return lines;
}

}  // namespace lapdeck::testing_support
