// The lap table's marshal's desk: the marks on suspect laps and the menus that
// change a lap or a dropped crossing.
#include "frmViewLaps.h"

#include <algorithm>

#include <QAction>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "BusyCursor.h"
#include "Corrections.h"
#include "CsvExport.h"
#include "LapChecks.h"
#include "LapFile.h"
#include "LapTable.h"
#include "MarshalDesk.h"
#include "Printout.h"
#include "RaceState.h"
#include "ResultCsv.h"
#include "ResultGridModel.h"
#include "ResultTableView.h"
#include "frmChanges.h"
#include "frmMarshalChange.h"

namespace lapdeck {
namespace {

const QString kDeskTitle = QStringLiteral("Marshal's desk");
const QColor kDoubleCountMark(255, 190, 190);
const QColor kMissedMark(255, 221, 150);

QString suspicionText(const SuspectLap& suspect) {
    if (suspect.kind == LapSuspicion::DoubleCount) {
        return QStringLiteral("possible double count");
    }
    const int missed = suspect.parts - 1;
    return QStringLiteral("possible %1 missed crossing%2")
        .arg(missed)
        .arg(missed == 1 ? QString() : QStringLiteral("s"));
}

// The flags a crossing of `flag` can be given to.
void offerOtherFlags(frmMarshalChange& ask, const RaceState& state, int flag) {
    for (int f = 1; f <= kFlags; ++f) {
        if (f != flag && !state.isDisabled(f)) {
            ask.offerFlag(f, state.RacerName[static_cast<size_t>(f)]);
        }
    }
}

QString flagText(const RaceState& state, int flag) {
    const QString name = state.RacerName[static_cast<size_t>(flag)];
    return name.isEmpty() ? QStringLiteral("flag %1").arg(flag)
                          : QStringLiteral("flag %1 (%2)").arg(flag).arg(name);
}

}  // namespace

MarshalDesk* frmViewLaps::desk() const {
    return m_results.desk();
}

bool frmViewLaps::deskOpen() const {
    // Sorted by lap time, a cell is no longer a lap of its row.
    return desk() != nullptr && desk()->isOpen() && !showsFile() &&
           !m_results.state().SortByLapTime;
}

int frmViewLaps::lapOfRow(int modelRow) const {
    return modelRow >= 0 && modelRow < m_lapRows ? m_results.state().FirstLapIndex + 1 + modelRow
                                                 : -1;
}

void frmViewLaps::showDesk(const std::optional<QString>& problem) {
    const bool open = deskOpen() && !problem;
    const RaceState& state = m_results.state();
    lstDropped->clear();
    if (open) {
        for (int k = 1; k <= kFlags; ++k) {
            const int f = lapTableFlag(state, k);
            if (f < 1 || f > kFlags) {
                continue;
            }
            for (const SuspectLap& suspect : suspectLaps(state, f)) {
                const int row = kLapGridHeaderRows + suspect.lap - (state.FirstLapIndex + 1);
                if (suspect.lap - (state.FirstLapIndex + 1) < m_lapRows) {
                    m_model->setMark(
                        row, k,
                        suspect.kind == LapSuspicion::DoubleCount ? kDoubleCountMark : kMissedMark,
                        suspicionText(suspect));
                }
            }
        }
        PerFlag<std::optional<int32_t>> lastCounted{};
        for (const LoggedCrossing& c : desk()->crossings().crossings) {
            if (c.flag < 1 || c.flag > kFlags) {
                continue;
            }
            auto& before = lastCounted[static_cast<size_t>(c.flag)];
            if (c.lap != 0) {
                before = c.clock;
                continue;
            }
            if (!before) {
                continue;
            }
            auto* item =
                new QListWidgetItem(QStringLiteral("%1 at %2, %3 s after its crossing at %4")
                                        .arg(flagText(state, c.flag), correctionClockText(c.clock),
                                             QString::number((c.clock - *before) / 1000.0, 'f', 3),
                                             correctionClockText(*before)));
            item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            item->setData(Qt::UserRole, QVariant::fromValue(QPoint(c.clock, c.flag)));
            lstDropped->addItem(item);
        }
    }
    lblDropped->setVisible(lstDropped->count() > 0);
    lstDropped->setVisible(lstDropped->count() > 0);
    const QString corrected =
        desk() != nullptr && !showsFile() ? desk()->correctedText() : QString();
    lblCorrected->setText(problem ? *problem : corrected);
    lblCorrected->setVisible(!lblCorrected->text().isEmpty());
    mnuMarshal->menuAction()->setEnabled(desk() != nullptr && !showsFile());
    mnuUndo->setEnabled(open && desk()->canUndo());
    mnuRedo->setEnabled(open && desk()->canRedo());
    mnuChanges->setEnabled(desk() != nullptr && !showsFile() && !desk()->changes().empty());
}

QList<QAction*> frmViewLaps::lapActions(const QModelIndex& cell, QObject* owner) {
    QList<QAction*> actions;
    const RaceState& state = m_results.state();
    const int lap = lapOfRow(cell.row());
    const int flag = lapTableFlag(state, cell.column());
    if (!deskOpen() || lap < 0 || flag < 1 || flag > kFlags) {
        return actions;
    }
    const auto start = desk()->lapStart(flag, lap);
    const auto end = desk()->lapEnd(flag, lap);
    const QString lapName = QStringLiteral("Lap %1 of %2").arg(lap).arg(flagText(state, flag));
    auto add = [&](const QString& caption, std::function<void()> act) {
        auto* a = new QAction(caption, owner);
        connect(a, &QAction::triggered, this, std::move(act));
        actions << a;
        return a;
    };
    std::optional<SuspectLap> suspect;
    for (const SuspectLap& s : suspectLaps(state, flag)) {
        if (s.lap == lap) {
            suspect = s;
        }
    }
    if (start && end) {
        const QString span = QStringLiteral(", from %1 to %2.")
                                 .arg(correctionClockText(*start), correctionClockText(*end));
        const int parts =
            suspect && suspect->kind == LapSuspicion::MissedCrossings ? suspect->parts : 2;
        add(QStringLiteral("Split into %1 laps").arg(parts), [=, this]() {
            frmMarshalChange ask(kDeskTitle, lapName + span, frmMarshalChange::Asks::Parts, this);
            ask.offerParts(parts);
            if (ask.exec() == QDialog::Accepted) {
                apply(desk()->splitLap(flag, lap, ask.parts(), ask.reason()));
            }
        });
        QAction* none = add(QStringLiteral("Not a lap"), [=, this]() {
            frmMarshalChange ask(kDeskTitle,
                                 lapName + span +
                                     QStringLiteral(" The crossing at %1 does not count.")
                                         .arg(correctionClockText(*end)),
                                 frmMarshalChange::Asks::Reason, this);
            if (ask.exec() == QDialog::Accepted) {
                apply(desk()->voidLap(flag, lap, ask.reason()));
            }
        });
        add(QStringLiteral("Give this crossing to flag..."), [=, this]() {
            frmMarshalChange ask(
                kDeskTitle,
                QStringLiteral("The crossing at %1 that ended ").arg(correctionClockText(*end)) +
                    lapName.toLower() + u'.',
                frmMarshalChange::Asks::Flag, this);
            offerOtherFlags(ask, m_results.state(), flag);
            if (ask.exec() == QDialog::Accepted) {
                apply(desk()->giveLap(flag, lap, ask.flag(), ask.reason()));
            }
        });
        // The fitting action first: a long lap's split is first already.
        if (suspect && suspect->kind == LapSuspicion::DoubleCount) {
            actions.move(actions.indexOf(none), 0);
        }
    }
    // An empty cell: the flag's missed crossing after its last one.
    const int32_t from = start.value_or(state.LastCrossing[flag]);
    const int32_t to = end.value_or(state.RaceClock);
    const QString missed =
        QStringLiteral(
            "A crossing of %1 the unit missed; type its race time "
            "or pick it between %2 and %3.")
            .arg(flagText(state, flag), correctionClockText(from), correctionClockText(to));
    add(QStringLiteral("Add a missed crossing..."), [=, this]() {
        frmMarshalChange ask(kDeskTitle, missed, frmMarshalChange::Asks::Time, this);
        ask.offerTimes(from, to, from + (to - from) / 2);
        if (ask.exec() == QDialog::Accepted && ask.time()) {
            apply(desk()->addCrossing(flag, *ask.time(), ask.reason()));
        }
    });
    return actions;
}

QList<QAction*> frmViewLaps::droppedActions(int item, QObject* owner) {
    QList<QAction*> actions;
    if (!deskOpen() || item < 0 || item >= lstDropped->count()) {
        return actions;
    }
    const QPoint data = lstDropped->item(item)->data(Qt::UserRole).toPoint();
    const LoggedCrossing crossing{data.x(), data.y(), 0};
    const QString what = lstDropped->item(item)->text() + u'.';
    auto* count = new QAction(QStringLiteral("Count this crossing, not the one before"), owner);
    connect(count, &QAction::triggered, this, [=, this]() {
        frmMarshalChange ask(kDeskTitle, what, frmMarshalChange::Asks::Reason, this);
        if (ask.exec() == QDialog::Accepted) {
            apply(desk()->countDropped(crossing, ask.reason()));
        }
    });
    auto* give = new QAction(QStringLiteral("Give this crossing to flag..."), owner);
    connect(give, &QAction::triggered, this, [=, this]() {
        frmMarshalChange ask(kDeskTitle, what, frmMarshalChange::Asks::Flag, this);
        offerOtherFlags(ask, m_results.state(), crossing.flag);
        if (ask.exec() == QDialog::Accepted) {
            apply(desk()->giveCrossing(crossing, ask.flag(), ask.reason()));
        }
    });
    return {count, give};
}

void frmViewLaps::apply(const std::optional<QString>& refused) {
    // Made or not, the record may have grown: show the race it now makes.
    buildTable();
    showDesk();
    if (refused) {
        m_results.prompter(this).inform(kDeskTitle, *refused, Icon::Exclamation);
    }
}

}  // namespace lapdeck
