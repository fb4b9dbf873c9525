#include "LiveJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "LapTable.h"
#include "LapTimeText.h"

namespace lapdeck {
namespace {

QJsonObject rowObject(const LiveRow& row, const LiveRace& race) {
    const auto& laps = race.laps[static_cast<size_t>(row.flag)];
    return {{QStringLiteral("flag"), row.flag},
            {QStringLiteral("name"), row.name},
            {QStringLiteral("laps"), row.laps},
            {QStringLiteral("lastLap"), row.lastLap},
            {QStringLiteral("best"), row.best},
            {QStringLiteral("gap"), row.gap},
            {QStringLiteral("colour"), webColour(row.colour)},
            {QStringLiteral("lapCount"), laps ? static_cast<int>(laps->seconds.size()) : 0}};
}

}  // namespace

QString webColour(int32_t colour) {
    const auto c = static_cast<uint32_t>(colour);
    const uint32_t rgb = ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
    return QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0'));
}

QByteArray stateJson(const LiveRace& race, quint64 version, quint64 resultsVersion,
                     quint64 meetingVersion) {
    QJsonArray rows;
    for (const LiveRow& row : race.rows) {
        rows.append(rowObject(row, race));
    }
    const QJsonObject state{
        {QStringLiteral("title"), race.title},
        {QStringLiteral("clock"), race.clock},
        {QStringLiteral("flag"), liveFlagName(race.flag)},
        {QStringLiteral("bestHeader"), race.bestHeader},
        {QStringLiteral("lagHeader"), race.lagHeader},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("version"), static_cast<qint64>(version)},
        {QStringLiteral("resultsVersion"), static_cast<qint64>(resultsVersion)},
        {QStringLiteral("meetingVersion"), static_cast<qint64>(meetingVersion)}};
    return QJsonDocument(state).toJson(QJsonDocument::Compact);
}

QByteArray racerJson(const LiveRace& race, int flag) {
    if (flag < 1 || flag > kFlags) {
        return {};
    }
    QJsonObject racer{{QStringLiteral("flag"), flag}};
    for (const LiveRow& row : race.rows) {
        if (row.flag == flag) {
            racer = rowObject(row, race);
        }
    }
    QJsonArray laps;
    if (const auto& kept = race.laps[static_cast<size_t>(flag)]) {
        for (auto i = static_cast<qsizetype>(kept->seconds.size()) - 1; i >= 0; --i) {
            laps.append(QJsonObject{
                {QStringLiteral("lap"), lapLabel(kept->firstIndex + static_cast<int>(i)).trimmed()},
                {QStringLiteral("time"), lapCellText(kept->seconds[static_cast<size_t>(i)])}});
        }
    }
    racer.insert(QStringLiteral("lapList"), laps);
    return QJsonDocument(racer).toJson(QJsonDocument::Compact);
}

}  // namespace lapdeck
