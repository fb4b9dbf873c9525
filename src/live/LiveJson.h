#pragma once

#include <cstdint>

#include <QByteArray>
#include <QString>

#include "LiveRace.h"

namespace lapdeck {

// A colour number (red + 256 x green + 65536 x blue) as a web colour, "#rrggbb".
QString webColour(int32_t colour);

// /state.json: the race title, clock, flag and the rows in race order. `version`
// counts the changes, `resultsVersion` the changes of the day's results and
// `meetingVersion` those of the meeting, so a page knows when to fetch them again.
// Compact: one line, as a pushed event needs it.
QByteArray stateJson(const LiveRace& race, quint64 version, quint64 resultsVersion,
                     quint64 meetingVersion);

// /racer/N.json: the flag's racer as its row shows it and its laps so far, newest
// first, labelled and formatted as the lap table has them. Empty for a flag outside 1..6.
QByteArray racerJson(const LiveRace& race, int flag);

}  // namespace lapdeck
