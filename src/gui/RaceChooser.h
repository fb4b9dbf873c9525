#pragma once

#include <vector>

#include <QDialog>
#include <QString>

#include "Journal.h"
#include "RaceArchive.h"

class QProgressDialog;
class QTableWidget;

namespace lapdeck {

// One race of the archive as the chooser lists it.
struct RaceListing {
    RaceRecord record;
    QString started;  // date and time
    QString race;     // kind and length: "10 Lap Race"
    QString names;
    QString winner;
    QString ending;  // ended normally, recovered or left
};

// The races of the archive, newest first, re-scored from their journals for the
// kind, the names and the winner; `progress` is told as the journals are read.
std::vector<RaceListing> listRaces(const std::vector<RaceRecord>& races,
                                   const ReadProgress& progress = {});

// File > Open Race: a list of the archive's races to choose one from.
class RaceChooser : public QDialog {
    Q_OBJECT

public:
    explicit RaceChooser(std::vector<RaceListing> races, QWidget* parent = nullptr);

    // The chosen race's row; -1 when none is.
    int chosen() const;
    const std::vector<RaceListing>& races() const { return m_races; }

    QTableWidget* lstRaces = nullptr;

private:
    std::vector<RaceListing> m_races;
};

// A progress bar over `parent` for reading journals, shown only when the reading
// takes more than a second.
class JournalProgress {
public:
    JournalProgress(QWidget* parent, const QString& label);
    ~JournalProgress();
    JournalProgress(const JournalProgress&) = delete;
    JournalProgress& operator=(const JournalProgress&) = delete;

    // Told by the readers; several journals read one after another share the bar.
    ReadProgress callback();

private:
    QWidget* m_parent;
    QString m_label;
    QProgressDialog* m_dialog = nullptr;
    qint64 m_startedMs = -1;
};

}  // namespace lapdeck
