#pragma once

#include <map>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace lapdeck {

// One finished race as the live page serves it, everything worked out once.
struct ServedRace {
    QString id;      // the page's handle: the race folder's name, URL-safe
    QString folder;  // full path
    qint64 journalSize = 0;
    QDateTime journalTime;
    QByteArray json;     // /results/ID.json: title, lap table, summary
    QByteArray lapsCsv;  // /results/ID/laps.csv
    QByteArray summaryCsv;
    QByteArray listEntry;  // this race in /results.json
};

// The day's results as served: the list, newest first, and each race by its id.
struct ServedResults {
    QByteArray listJson;
    std::map<QString, std::shared_ptr<const ServedRace>> byId;
    QStringList problems;  // races of the day that could not be re-scored, with why
};

// The races of one day in the race archive that ran to their finish and were closed
// (reset or both results saved), re-scored from their journals with their own
// settings, as File > Open Race shows them. Practice and races that never reached
// the end are left out. Re-scoring takes a while, so a race already read is kept
// as long as its journal stays the same. Not for the race tick's thread: it reads
// files and re-runs races.
class DayResults {
public:
    explicit DayResults(QString dataDir);

    std::shared_ptr<const ServedResults> refresh(const QDate& day);

    // The handle of a race folder's name ("2026-12-05 16-07-42" -> "2026-12-05_16-07-42").
    static QString idOf(const QString& folderName);

private:
    QString m_dataDir;
    std::map<QString, std::shared_ptr<const ServedRace>> m_kept;  // by folder
};

}  // namespace lapdeck
