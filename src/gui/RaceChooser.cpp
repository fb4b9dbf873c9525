#include "RaceChooser.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "RaceRecovery.h"
#include "RaceState.h"

namespace lapdeck {
namespace {

QString endingText(const RaceRecord& race) {
    QString text;
    switch (race.end) {
        case RaceEnd::Finished:
            text = QStringLiteral("Ended normally");
            break;
        case RaceEnd::Recovered:
            text = QStringLiteral("Recovered");
            break;
        case RaceEnd::Unfinished:
        case RaceEnd::NotRecovered:
            text = QStringLiteral("Left unfinished");
            break;
        case RaceEnd::NoCrossings:
            text = QStringLiteral("Left before a crossing");
            break;
    }
    if (race.journalCutAt) {
        text += QStringLiteral(" (journal cut at ") + raceTimeText(*race.journalCutAt) +
                QStringLiteral(")");
    }
    return text;
}

}  // namespace

std::vector<RaceListing> listRaces(const std::vector<RaceRecord>& races,
                                   const ReadProgress& progress) {
    std::vector<RaceListing> list;
    for (const RaceRecord& record : races) {
        RaceListing row{
            record, QLocale::c().toString(record.started, QStringLiteral("yyyy-MM-dd HH:mm")),
            {},     {},
            {},     endingText(record)};
        RaceState race;
        if (const auto problem = loadRecordedRace(record, race, progress)) {
            row.race = QStringLiteral("(cannot be read)");
            row.names = problem->section(u'\n', 0, 0).trimmed();
        } else {
            row.race = race.RaceTitle;
            QStringList names;
            for (int f = 1; f <= kFlags; ++f) {
                const FlagName name = race.flagName(f);
                if (name.state == NameState::Named) {
                    names << name.name;
                }
            }
            row.names = names.join(QStringLiteral(", "));
            const int leader = race.RunningOrder[1];
            const bool crossed = leader >= 1 && leader <= kFlags && race.LastCrossing[leader] > 0;
            row.winner = race.IsPractice ? QStringLiteral("-")
                         : crossed       ? race.flagName(leader).name
                                         : QStringLiteral("(no laps)");
        }
        list.push_back(std::move(row));
    }
    return list;
}

RaceChooser::RaceChooser(std::vector<RaceListing> races, QWidget* parent)
    : QDialog(parent), m_races(std::move(races)) {
    setObjectName(QStringLiteral("RaceChooser"));
    setWindowTitle(QStringLiteral("Open Race"));
    const QStringList headings = {QStringLiteral("Started"), QStringLiteral("Race"),
                                  QStringLiteral("Racers"), QStringLiteral("Winner"),
                                  QStringLiteral("Ended")};
    lstRaces = new QTableWidget(static_cast<int>(m_races.size()), headings.size(), this);
    lstRaces->setObjectName(QStringLiteral("lstRaces"));
    lstRaces->setHorizontalHeaderLabels(headings);
    lstRaces->verticalHeader()->hide();
    lstRaces->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstRaces->setSelectionMode(QAbstractItemView::SingleSelection);
    lstRaces->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRaces->setWordWrap(false);
    for (int r = 0; r < static_cast<int>(m_races.size()); ++r) {
        const RaceListing& race = m_races[static_cast<size_t>(r)];
        const QString cells[] = {race.started, race.race, race.names, race.winner, race.ending};
        for (int c = 0; c < headings.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(c == 0 ? QFileInfo(race.record.folder).fileName() : cells[c]);
            lstRaces->setItem(r, c, item);
        }
    }
    lstRaces->resizeColumnsToContents();
    // Long name lists are elided; the tooltip has them whole.
    const int namesWidth = fontMetrics().averageCharWidth() * 40;
    if (lstRaces->columnWidth(2) > namesWidth) {
        lstRaces->setColumnWidth(2, namesWidth);
    }
    lstRaces->horizontalHeader()->setStretchLastSection(true);
    if (!m_races.empty()) {
        lstRaces->selectRow(0);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Open)->setEnabled(!m_races.empty());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lstRaces, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstRaces);
    layout->addWidget(buttons);
    int width = 40;
    for (int c = 0; c < headings.size(); ++c) {
        width += lstRaces->columnWidth(c);
    }
    resize(std::min(width, 1000), 360);
}

int RaceChooser::chosen() const {
    const QList<QTableWidgetSelectionRange> ranges = lstRaces->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

JournalProgress::JournalProgress(QWidget* parent, const QString& label)
    : m_parent(parent), m_label(label) {}

JournalProgress::~JournalProgress() {
    delete m_dialog;
}

ReadProgress JournalProgress::callback() {
    return [this](qint64 done, qint64 total) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (m_startedMs < 0) {
            m_startedMs = now;
        }
        // A short read shows nothing.
        if (m_dialog == nullptr && now - m_startedMs < 1000) {
            return;
        }
        if (m_dialog == nullptr) {
            m_dialog = new QProgressDialog(m_label, QString(), 0, 1000, m_parent);
            m_dialog->setWindowModality(Qt::WindowModal);
            m_dialog->setMinimumDuration(0);
            m_dialog->setAutoClose(false);
        }
        m_dialog->setValue(
            total > 0 ? static_cast<int>(std::min<qint64>(done, total) * 1000 / total) : 0);
    };
}

}  // namespace lapdeck
