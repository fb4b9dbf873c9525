#include "LiveMeeting.h"

#include <algorithm>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "LiveJson.h"
#include "MeetingText.h"

namespace lapdeck {
namespace {

QJsonObject tableObject(const TextTable& table) {
    QJsonArray rows;
    for (const QStringList& row : table.rows) {
        rows.append(QJsonArray::fromStringList(row));
    }
    return {{QStringLiteral("title"), table.title},
            {QStringLiteral("header"), QJsonArray::fromStringList(table.header)},
            {QStringLiteral("rows"), rows}};
}

QJsonObject heatObject(const PlannedHeat& heat, const QDateTime& start,
                       const PerFlag<int32_t>& flagColours) {
    std::vector<PlannedSeat> seats = heat.seats;
    std::sort(seats.begin(), seats.end(),
              [](const PlannedSeat& a, const PlannedSeat& b) { return a.flag < b.flag; });
    QJsonArray seatList;
    for (const PlannedSeat& seat : seats) {
        QJsonObject s{
            {QStringLiteral("flag"), seat.flag},
            {QStringLiteral("name"), seat.name},
            {QStringLiteral("colour"),
             webColour(flagColours[static_cast<size_t>(std::clamp(seat.flag, 0, kFlags))])}};
        if (seat.name.isEmpty()) {
            s.insert(QStringLiteral("standIn"), seat.standIn);
        }
        seatList.append(s);
    }
    return {{QStringLiteral("title"), heat.title()},
            {QStringLiteral("class"), heat.key.className},
            {QStringLiteral("status"), statusText(heat.status)},
            {QStringLiteral("time"),
             start.isValid() ? start.toString(QStringLiteral("HH:mm")) : QString()},
            {QStringLiteral("seats"), seatList}};
}

}  // namespace

QByteArray meetingJson(const Meeting& meeting, const MeetingPlan& plan,
                       const std::vector<QDateTime>& starts, const PerFlag<int32_t>& flagColours) {
    QJsonArray heats;
    for (size_t i = 0; i < plan.heats.size(); ++i) {
        heats.append(
            heatObject(plan.heats[i], i < starts.size() ? starts[i] : QDateTime(), flagColours));
    }
    QJsonArray classes;
    for (const MeetingClass& c : meeting.classes) {
        QJsonObject one{
            {QStringLiteral("name"), c.name},
            {QStringLiteral("qualifying"), tableObject(qualifyingTable(meeting, c.name))}};
        if (meeting.mains > 0) {
            one.insert(QStringLiteral("final"),
                       tableObject(finalResultsTable(meeting, plan, c.name)));
        }
        classes.append(one);
    }
    const QJsonObject json{
        {QStringLiteral("name"), meeting.name},
        {QStringLiteral("date"), meeting.date.toString(QStringLiteral("yyyy-MM-dd"))},
        {QStringLiteral("problem"), plan.problem},
        {QStringLiteral("heats"), heats},
        {QStringLiteral("classes"), classes}};
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

}  // namespace lapdeck
