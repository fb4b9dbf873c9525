// What the meeting window shows, and its paper: printouts, PDF and CSV.
#include "MeetingWindow.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "ConfigStore.h"
#include "HeatRace.h"
#include "LiveMeeting.h"
#include "LiveResults.h"
#include "MeetingCallBoard.h"
#include "MeetingFile.h"
#include "MeetingText.h"
#include "MeetingWidgets.h"
#include "RaceEngine.h"
#include "RacePort.h"
#include "RaceRecorder.h"
#include "RaceRecords.h"
#include "RaceSetup.h"
#include "RaceState.h"
#include "ResultFileIo.h"
#include "ResultsWindows.h"
#include "RosterModel.h"
#include "SpeechEngine.h"
#include "ValueLists.h"

namespace lapdeck {

namespace {

// The flag's colour half way to white, so a name on it stays readable.
QColor flagTint(int32_t colour) {
    auto half = [colour](int shift) { return (((colour >> shift) & 0xff) + 255) / 2; };
    return QColor(half(0), half(8), half(16));
}

}  // namespace

using namespace meeting_ui;

// ---------------------------------------------------------------- showing

void MeetingWindow::showTable(QTableWidget* t, const TextTable& text) {
    t->clear();
    t->setColumnCount(static_cast<int>(text.header.size()));
    t->setHorizontalHeaderLabels(text.header);
    t->setRowCount(static_cast<int>(text.rows.size()));
    for (size_t r = 0; r < text.rows.size(); ++r) {
        for (qsizetype c = 0; c < text.rows[r].size(); ++c) {
            t->setItem(static_cast<int>(r), static_cast<int>(c),
                       new QTableWidgetItem(text.rows[r][c]));
        }
    }
}

void MeetingWindow::showSetup() {
    txtName->setText(m_meeting.name);
    dateMeeting->setDate(m_meeting.date.isValid() ? m_meeting.date : QDate(2000, 1, 1));
    spnRounds->setValue(m_meeting.rounds);
    cmbRanking->setCurrentIndex(m_meeting.ranking == RankingRule::Points ? 0 : 1);
    spnCounted->setValue(m_meeting.countedRounds);
    spnCounted->setEnabled(m_meeting.ranking == RankingRule::Points);
    cmbRoundOne->setCurrentIndex(m_meeting.roundOne == RoundOneOrder::EntryOrder ? 0 : 1);
    cmbRoundOne->setToolTip(m_meeting.roundOne == RoundOneOrder::Drawn
                                ? QStringLiteral("Drawn with the seed %1").arg(m_meeting.drawSeed)
                                : QString());
    spnMains->setValue(m_meeting.mains);
    spnBumpUps->setValue(m_meeting.bumpUps);

    TextTable classes{{}, {QStringLiteral("Class"), QStringLiteral("Heats of")}, {}};
    for (const MeetingClass& c : m_meeting.classes) {
        classes.rows.push_back({c.name, QStringLiteral("%1 %2")
                                            .arg(c.length.value)
                                            .arg(c.length.timed ? QStringLiteral("minutes")
                                                                : QStringLiteral("laps"))});
    }
    showTable(tblClasses, classes);
    TextTable entries{
        {}, {QStringLiteral("Racer"), QStringLiteral("Class"), QStringLiteral("Withdrawn")}, {}};
    for (const Entry& e : m_meeting.entries) {
        entries.rows.push_back(
            {e.name, e.className, e.withdrawn ? QStringLiteral("Withdrawn") : QString()});
    }
    showTable(tblEntries, entries);

    const QString racer = cmbRacer->currentText();
    cmbRacer->clear();
    LoadResult<QStringList> roster = m_parts.config.loadRoster();
    // The race screen told of the names left out when it read them.
    leaveOutRefusedNames(roster.value, QString());
    cmbRacer->addItems(roster.value);
    cmbRacer->setCurrentText(racer);
    const QString entryClass = cmbEntryClass->currentText();
    cmbEntryClass->clear();
    for (const MeetingClass& c : m_meeting.classes) {
        cmbEntryClass->addItem(c.name);
    }
    cmbEntryClass->setCurrentText(entryClass);
}

void MeetingWindow::refresh() {
    m_filling = true;
    setWindowTitle(m_path.isEmpty()
                       ? title()
                       : title() + QStringLiteral(" - ") + m_meeting.name + QStringLiteral(", ") +
                             m_meeting.date.toString(QStringLiteral("yyyy-MM-dd")));
    const QString current = m_path;
    cmbMeetings->clear();
    for (const QString& file : MeetingFile::list(m_parts.config.folder())) {
        cmbMeetings->addItem(QFileInfo(file).completeBaseName(), file);
    }
    cmbMeetings->setCurrentIndex(cmbMeetings->findData(current));
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setTabEnabled(i, i == 0 || !m_path.isEmpty());
    }
    showSetup();
    const QString className = cmbClass->currentText();
    cmbClass->clear();
    for (const MeetingClass& c : m_meeting.classes) {
        cmbClass->addItem(c.name);
    }
    cmbClass->setCurrentIndex(std::max(0, cmbClass->findText(className)));
    spnRound->setMaximum(std::max(1, m_meeting.rounds));

    const MeetingPlan planned = plan();
    const int selected = tblSchedule->currentRow();
    const TextTable list = *currentTableOf(1);
    showTable(tblSchedule, list);
    for (size_t r = 0; r < planned.heats.size(); ++r) {
        for (const PlannedSeat& seat : planned.heats[r].seats) {
            if (QTableWidgetItem* item = tblSchedule->item(static_cast<int>(r), 1 + seat.flag)) {
                item->setBackground(flagTint(m_parts.state.FlagColor[seat.flag]));
            }
        }
        if (planned.heats[r].status == HeatStatus::Replaced) {
            for (int c = 0; c < tblSchedule->columnCount(); ++c) {
                if (QTableWidgetItem* item = tblSchedule->item(static_cast<int>(r), c)) {
                    item->setForeground(Qt::gray);
                }
            }
        }
    }
    if (selected >= 0 && selected < tblSchedule->rowCount()) {
        tblSchedule->selectRow(selected);
    }
    if (cmbClass->count() > 0) {
        showTable(tblRound, *currentTableOf(2));
        showTable(tblQualifying, *currentTableOf(3));
        showTable(tblFinal, *currentTableOf(4));
        TextTable mains = heatListTable(planned);
        mains.rows.clear();
        for (size_t r = 0; r < planned.heats.size(); ++r) {
            const HeatKey& key = planned.heats[r].key;
            if (key.isMain() && key.className == cmbClass->currentText()) {
                mains.rows.push_back(list.rows[r]);
                mains.rows.back().removeAt(1);  // the planned time
            }
        }
        showTable(tblMains, mains);
    } else {
        for (QTableWidget* t : {tblRound, tblQualifying, tblMains, tblFinal}) {
            t->clear();
            t->setRowCount(0);
        }
    }
    m_filling = false;
    tellLive();
    followRace();
}

std::optional<TextTable> MeetingWindow::currentTableOf(int tab) const {
    const QString className = cmbClass->currentText();
    switch (tab) {
        case 1: {
            const MeetingPlan planned = plan();
            return heatListTable(planned, startsOf(planned));
        }
        case 2:
            return roundResultsTable(m_meeting, className, spnRound->value());
        case 3:
            return qualifyingTable(m_meeting, className);
        case 4:
            return finalResultsTable(m_meeting, plan(), className);
        default:
            return std::nullopt;
    }
}

std::vector<QDateTime> MeetingWindow::startsOf(const MeetingPlan& planned) const {
    QDateTime next = m_parts.results.now();
    if (m_countdown.running()) {
        next = next.addMSecs(m_countdown.remainingMs(m_clock()));
    }
    return plannedStarts(m_meeting, planned, next, spnGap->value());
}

std::optional<TextTable> MeetingWindow::currentTable() const {
    if (m_path.isEmpty() || (tabs->currentIndex() > 1 && cmbClass->count() == 0)) {
        return std::nullopt;
    }
    return currentTableOf(tabs->currentIndex());
}

// ---------------------------------------------------------------- paper

QString MeetingWindow::heading() const {
    return m_meeting.name + QStringLiteral(", ") +
           m_meeting.date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString MeetingWindow::proposedFile(const QString& suffix) const {
    const std::optional<TextTable> t = currentTable();
    QString base =
        QFileInfo(m_path).completeBaseName() + QLatin1Char(' ') + (t ? t->title : QString());
    for (QChar& c : base) {
        if (QStringLiteral("/\\:*?\"<>|").contains(c)) {
            c = u'-';
        }
    }
    return QDir(QFileInfo(m_path).absolutePath()).filePath(base + suffix);
}

void MeetingWindow::printTable() {
    if (const auto t = currentTable()) {
        m_parts.results.print(this, tablePrintout(*t, heading()),
                              proposedFile(QStringLiteral(".pdf")));
    } else {
        inform(QStringLiteral(
            "Choose the schedule, a round, the qualifying or the results to print."));
    }
}

void MeetingWindow::savePdf() {
    if (const auto t = currentTable()) {
        m_parts.results.saveAsPdf(this, tablePrintout(*t, heading()),
                                  proposedFile(QStringLiteral(".pdf")));
    } else {
        inform(
            QStringLiteral("Choose the schedule, a round, the qualifying or the results to save."));
    }
}

void MeetingWindow::saveCsv() {
    const auto t = currentTable();
    if (!t) {
        inform(
            QStringLiteral("Choose the schedule, a round, the qualifying or the results to save."));
        return;
    }
    const QString name = m_parts.results.chooseSaveName(this, QStringLiteral("Save as CSV"),
                                                        proposedFile(QStringLiteral(".csv")),
                                                        QStringLiteral("CSV Files (*.csv)|*.csv"));
    if (name.isEmpty()) {
        return;
    }
    if (const auto failure = writeFileAtomically(name, csvText(*t))) {
        m_parts.results.inform(this, {*failure});
        return;
    }
    m_parts.results.inform(this, {savedMessage(name)});
}

}  // namespace lapdeck
