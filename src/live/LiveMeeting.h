#pragma once

#include <vector>

#include <QByteArray>
#include <QDateTime>

#include "HeatPlan.h"
#include "Meeting.h"
#include "RaceState.h"

namespace lapdeck {

// /meeting.json: the meeting open in the meeting window as the live page shows it.
// The schedule line for line as the window lists it (heat, class, status, planned
// start "HH:mm" from `starts`, one for each line; each seat's flag, racer or what
// fills the seat, and the flag's colour), then each class's qualifying ranking and,
// when the meeting has mains, its final results, with the texts the window and the
// printouts show. Compact, as it is served.
QByteArray meetingJson(const Meeting& meeting, const MeetingPlan& plan,
                       const std::vector<QDateTime>& starts, const PerFlag<int32_t>& flagColours);

// What /meeting.json serves while no meeting is open.
inline const QByteArray kNoMeetingJson = QByteArrayLiteral("{}");

}  // namespace lapdeck
