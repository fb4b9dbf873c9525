#include "DayResults.h"

#include <algorithm>
#include <utility>

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "LapTable.h"
#include "LiveJson.h"
#include "RaceArchive.h"
#include "RaceSummary.h"
#include "RecordedRace.h"
#include "ResultCsv.h"

namespace lapdeck {
namespace {

QJsonArray texts(const ResultGrid& grid, int row, int firstColumn, int columns) {
    QJsonArray out;
    for (int k = firstColumn; k < columns; ++k) {
        out.append(grid.text(row, k));
    }
    return out;
}

QJsonObject lapTableObject(const LapTable& table) {
    const ResultGrid& grid = table.grid;
    QJsonArray columns;
    for (int k = 1; k < kLapGridColumns; ++k) {
        const auto background = grid.cell(1, k).background;
        columns.append(QJsonObject{{QStringLiteral("colourName"), grid.text(0, k)},
                                   {QStringLiteral("name"), grid.text(1, k)},
                                   {QStringLiteral("colour"), webColour(background.value_or(0))}});
    }
    QJsonArray rows;
    for (int r = kLapGridHeaderRows; r < kLapGridHeaderRows + table.lapRows; ++r) {
        rows.append(texts(grid, r, 0, kLapGridColumns));
    }
    return {{QStringLiteral("columns"), columns}, {QStringLiteral("rows"), rows}};
}

QJsonObject summaryObject(const RaceSummary& summary) {
    const ResultGrid& grid = summary.grid;
    QJsonArray rows;
    for (int r = 2; r < 2 + kFlags; ++r) {
        const auto flagColour = grid.cell(r, 2).background;
        rows.append(QJsonObject{
            {QStringLiteral("cells"), texts(grid, r, 0, kSummaryColumns)},
            {QStringLiteral("colour"), webColour(flagColour.value_or(0))},
            {QStringLiteral("tooFewLaps"), grid.cell(r, 4).foreground == kInsufficientColour}});
    }
    return {{QStringLiteral("header"), summary.header},
            {QStringLiteral("head"),
             QJsonArray{texts(grid, 0, 0, kSummaryColumns), texts(grid, 1, 0, kSummaryColumns)}},
            {QStringLiteral("rows"), rows}};
}

// A replay stops at the journal's last report, which may be the leader's last lap
// before the tick that would show the checkered flag.
bool ranToItsFinish(const RaceState& s) {
    int mostLaps = 0;
    for (int f = 1; f <= kFlags; ++f) {
        mostLaps = std::max<int>(mostLaps, s.LapCount[static_cast<size_t>(f)]);
    }
    return s.RaceOver != 0 || s.CheckeredShown || (s.IsLapRace && mostLaps >= s.RaceLaps);
}

// Re-scores one closed race; nothing when it is not a finished race with laps.
std::optional<ServedRace> serve(const RaceRecord& record, const QFileInfo& journal,
                                QStringList& problems) {
    auto state = std::make_unique<RaceState>();
    if (const auto problem = rescoreRaceFolder(record.folder, *state)) {
        problems << *problem;
        return std::nullopt;
    }
    if (state->IsPractice || !ranToItsFinish(*state)) {
        return std::nullopt;
    }
    Expected<LapTable> table = buildLapTable(*state);
    SummaryStats stats;
    Expected<RaceSummary> summary = buildRaceSummary(*state, stats, journal.lastModified());
    if (!table || !summary || table.value().lapRows == 0) {
        return std::nullopt;
    }
    ServedRace race;
    race.folder = record.folder;
    race.id = DayResults::idOf(QFileInfo(record.folder).fileName());
    race.journalSize = journal.size();
    race.journalTime = journal.lastModified();
    const QString base = QStringLiteral("/results/") + race.id;
    const QJsonObject entry{
        {QStringLiteral("id"), race.id},
        {QStringLiteral("title"), state->RaceTitle},
        {QStringLiteral("started"), record.started.toString(QStringLiteral("HH:mm"))},
        {QStringLiteral("json"), base + QStringLiteral(".json")},
        {QStringLiteral("lapsCsv"), base + QStringLiteral("/laps.csv")},
        {QStringLiteral("summaryCsv"), base + QStringLiteral("/summary.csv")}};
    race.listEntry = QJsonDocument(entry).toJson(QJsonDocument::Compact);
    QJsonObject full = entry;
    full.insert(QStringLiteral("lapTable"), lapTableObject(table.value()));
    full.insert(QStringLiteral("summary"), summaryObject(summary.value()));
    race.json = QJsonDocument(full).toJson(QJsonDocument::Compact);
    race.lapsCsv = lapTableCsv(table.value());
    race.summaryCsv = summaryCsv(summary.value());
    return race;
}

}  // namespace

DayResults::DayResults(QString dataDir) : m_dataDir(std::move(dataDir)) {}

QString DayResults::idOf(const QString& folderName) {
    QString id = folderName;
    for (QChar& c : id) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-') {
            c = u'_';
        }
    }
    return id;
}

std::shared_ptr<const ServedResults> DayResults::refresh(const QDate& day) {
    auto served = std::make_shared<ServedResults>();
    std::map<QString, std::shared_ptr<const ServedRace>> kept;
    QByteArray list = "[";
    for (const RaceRecord& record : RaceArchive(m_dataDir).races()) {
        const bool closed = record.end == RaceEnd::Finished || record.end == RaceEnd::Recovered;
        if (!closed || record.started.date() != day) {
            continue;
        }
        const QFileInfo journal(record.journal());
        auto race = m_kept[record.folder];
        if (!race || race->journalSize != journal.size() ||
            race->journalTime != journal.lastModified()) {
            // A race that is not served is kept too (without an id), so it is not
            // re-scored at every refresh.
            ServedRace skipped{
                {}, record.folder, journal.size(), journal.lastModified(), {}, {}, {}, {}};
            auto fresh = serve(record, journal, served->problems);
            race =
                std::make_shared<const ServedRace>(fresh ? std::move(*fresh) : std::move(skipped));
        }
        kept[record.folder] = race;
        if (!race->id.isEmpty()) {
            list += (served->byId.empty() ? "" : ",") + race->listEntry;
            served->byId[race->id] = race;
        }
    }
    served->listJson = list + "]";
    m_kept = std::move(kept);
    return served;
}

}  // namespace lapdeck
