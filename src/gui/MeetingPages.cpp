// The meeting window's pages: setup, schedule and standings.
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
#include "SpeechEngine.h"
#include "ValueLists.h"

namespace lapdeck {

using namespace meeting_ui;

QWidget* MeetingWindow::buildSetup() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout;
    txtName = named(new QLineEdit(page), "txtName");
    dateMeeting = named(new QDateEdit(page), "dateMeeting");
    dateMeeting->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    spnRounds = named(new QSpinBox(page), "spnRounds");
    spnRounds->setRange(1, kMaxRounds);
    cmbRanking = named(new QComboBox(page), "cmbRanking");
    cmbRanking->addItems({QStringLiteral("Points"), QStringLiteral("Best round")});
    spnCounted = named(new QSpinBox(page), "spnCounted");
    spnCounted->setRange(1, kMaxRounds);
    cmbRoundOne = named(new QComboBox(page), "cmbRoundOne");
    cmbRoundOne->addItems({QStringLiteral("Entry order"), QStringLiteral("Drawn")});
    spnMains = named(new QSpinBox(page), "spnMains");
    spnMains->setRange(0, kMaxMains);
    spnBumpUps = named(new QSpinBox(page), "spnBumpUps");
    spnBumpUps->setRange(0, kMaxBumpUps);
    form->addRow(QStringLiteral("Name:"), txtName);
    form->addRow(QStringLiteral("Date:"), dateMeeting);
    form->addRow(QStringLiteral("Qualifying rounds:"), spnRounds);
    form->addRow(QStringLiteral("Ranking:"), cmbRanking);
    form->addRow(QStringLiteral("Rounds whose points count:"), spnCounted);
    form->addRow(QStringLiteral("Round 1:"), cmbRoundOne);
    form->addRow(QStringLiteral("Mains:"), spnMains);
    form->addRow(QStringLiteral("Bump-ups:"), spnBumpUps);

    auto edited = [this](const std::function<void(Meeting&)>& set) {
        if (!m_filling) {
            change([&set](Meeting& m) {
                set(m);
                return std::optional<QString>();
            });
        }
    };
    connect(txtName, &QLineEdit::editingFinished, this,
            [this, edited]() { edited([this](Meeting& m) { m.name = txtName->text(); }); });
    connect(dateMeeting, &QDateEdit::dateChanged, this,
            [edited](QDate d) { edited([d](Meeting& m) { m.date = d; }); });
    connect(spnRounds, &QSpinBox::valueChanged, this, [edited](int v) {
        edited([v](Meeting& m) {
            m.rounds = v;
            m.countedRounds = std::min(m.countedRounds, v);
        });
    });
    connect(cmbRanking, &QComboBox::currentIndexChanged, this, [edited](int i) {
        edited(
            [i](Meeting& m) { m.ranking = i == 0 ? RankingRule::Points : RankingRule::BestRound; });
    });
    connect(spnCounted, &QSpinBox::valueChanged, this,
            [edited](int v) { edited([v](Meeting& m) { m.countedRounds = v; }); });
    connect(cmbRoundOne, &QComboBox::currentIndexChanged, this, [this, edited](int i) {
        // A new draw gets a seed of its own; it is shown and kept, so it can be checked.
        const auto seed = static_cast<uint32_t>(m_clock() * 2654435761u);
        edited([i, seed](Meeting& m) {
            m.roundOne = i == 0 ? RoundOneOrder::EntryOrder : RoundOneOrder::Drawn;
            if (i == 1 && m.drawSeed == 0) {
                m.drawSeed = seed;
            }
        });
    });
    connect(spnMains, &QSpinBox::valueChanged, this,
            [edited](int v) { edited([v](Meeting& m) { m.mains = v; }); });
    connect(spnBumpUps, &QSpinBox::valueChanged, this,
            [edited](int v) { edited([v](Meeting& m) { m.bumpUps = v; }); });

    auto* classes = new QVBoxLayout;
    tblClasses = table("tblClasses", page);
    txtClass = named(new QLineEdit(page), "txtClass");
    txtClass->setPlaceholderText(QStringLiteral("Class"));
    cmbLengthKind = named(new QComboBox(page), "cmbLengthKind");
    cmbLengthKind->addItems({QStringLiteral("Laps"), QStringLiteral("Minutes")});
    cmbLength = named(new QComboBox(page), "cmbLength");
    cmbLength->addItems(ValueLists::lapCounts());
    cmbLength->setCurrentText(QStringLiteral("10"));
    connect(cmbLengthKind, &QComboBox::currentIndexChanged, this, [this](int i) {
        cmbLength->clear();
        cmbLength->addItems(i == 0 ? ValueLists::lapCounts() : ValueLists::minuteCounts());
        cmbLength->setCurrentText(i == 0 ? QStringLiteral("10") : QStringLiteral("5"));
    });
    auto* cmdAddClass = button("cmdAddClass", QStringLiteral("Add class"), page);
    connect(cmdAddClass, &QPushButton::clicked, this, &MeetingWindow::addClass);
    auto* classRow = new QHBoxLayout;
    classRow->addWidget(txtClass, 1);
    classRow->addWidget(cmbLengthKind);
    classRow->addWidget(cmbLength);
    classRow->addWidget(cmdAddClass);
    classes->addWidget(new QLabel(QStringLiteral("Classes"), page));
    classes->addWidget(tblClasses, 1);
    classes->addLayout(classRow);

    auto* entries = new QVBoxLayout;
    tblEntries = table("tblEntries", page);
    cmbRacer = named(new QComboBox(page), "cmbRacer");
    cmbRacer->setEditable(true);
    cmbEntryClass = named(new QComboBox(page), "cmbEntryClass");
    auto* cmdEnter = button("cmdEnter", QStringLiteral("Enter"), page);
    auto* cmdWithdraw = button("cmdWithdraw", QStringLiteral("Withdraw"), page);
    auto* cmdMove = button("cmdMove", QStringLiteral("Move to class"), page);
    connect(cmdEnter, &QPushButton::clicked, this, &MeetingWindow::enterRacer);
    connect(cmdWithdraw, &QPushButton::clicked, this, &MeetingWindow::withdrawRacer);
    connect(cmdMove, &QPushButton::clicked, this, &MeetingWindow::moveRacer);
    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(cmbRacer, 1);
    entryRow->addWidget(cmbEntryClass);
    entryRow->addWidget(cmdEnter);
    auto* entryRow2 = new QHBoxLayout;
    entryRow2->addStretch(1);
    entryRow2->addWidget(cmdWithdraw);
    entryRow2->addWidget(cmdMove);
    entries->addWidget(new QLabel(QStringLiteral("Entries (racers from the roster)"), page));
    entries->addWidget(tblEntries, 1);
    entries->addLayout(entryRow);
    entries->addLayout(entryRow2);

    auto* columns = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addLayout(classes, 1);
    columns->addLayout(left, 1);
    columns->addLayout(entries, 1);
    return page;
}

QWidget* MeetingWindow::buildSchedule() {
    auto* page = new QWidget(this);
    tblSchedule = table("tblSchedule", page);
    lblStatus = named(new QLabel(page), "lblStatus");
    lblStatus->setWordWrap(true);
    cmdLoadNext = button("cmdLoadNext", QStringLiteral("&Load next heat"), page);
    cmdAccept = button("cmdAccept", QStringLiteral("&Accept result"), page);
    cmdDrop = button("cmdDrop", QStringLiteral("Drop start"), page);
    cmdRunAgain = button("cmdRunAgain", QStringLiteral("Run heat again"), page);
    cmdLoadNext->setToolTip(
        QStringLiteral("Puts the next heat's racers on the flags and its length in force"));
    cmdAccept->setToolTip(
        QStringLiteral("Takes the heat's result from its race folder (laps as corrected)"));
    cmdDrop->setToolTip(QStringLiteral("Forgets a start that came to nothing"));
    cmdRunAgain->setToolTip(
        QStringLiteral("The selected heat is run again; its result is kept, marked replaced"));
    connect(cmdLoadNext, &QPushButton::clicked, this, &MeetingWindow::loadNextHeat);
    connect(cmdAccept, &QPushButton::clicked, this, &MeetingWindow::acceptResult);
    connect(cmdDrop, &QPushButton::clicked, this, &MeetingWindow::dropStart);
    connect(cmdRunAgain, &QPushButton::clicked, this, &MeetingWindow::runAgain);
    connect(tblSchedule, &QTableWidget::itemSelectionChanged, this, &MeetingWindow::followRace);

    chkPace = named(new QCheckBox(QStringLiteral("Countdown to the next heat,"), page), "chkPace");
    spnGap = named(new QSpinBox(page), "spnGap");
    spnGap->setRange(kMinGapMinutes, kMaxGapMinutes);
    spnGap->setValue(3);
    spnGap->setSuffix(QStringLiteral(" min after a heat"));
    auto* cmdEarlier = button("cmdEarlier", QStringLiteral("-15 s"), page);
    auto* cmdLater = button("cmdLater", QStringLiteral("+15 s"), page);
    lblCountdown = named(new QLabel(page), "lblCountdown");
    connect(cmdEarlier, &QPushButton::clicked, this, [this]() { adjustPace(-kGapStepSeconds); });
    connect(cmdLater, &QPushButton::clicked, this, [this]() { adjustPace(kGapStepSeconds); });
    connect(chkPace, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) {
            m_countdown.stop();
            callBoard->hide();
        } else if (!raceOn()) {
            m_countdown.start(m_clock(), spnGap->value());
        }
        followRace();
    });

    auto* run = new QHBoxLayout;
    run->addWidget(cmdLoadNext);
    run->addWidget(cmdAccept);
    run->addWidget(cmdDrop);
    run->addStretch(1);
    run->addWidget(cmdRunAgain);
    auto* pace = new QHBoxLayout;
    pace->addWidget(chkPace);
    pace->addWidget(spnGap);
    pace->addWidget(cmdEarlier);
    pace->addWidget(cmdLater);
    pace->addWidget(lblCountdown, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(tblSchedule, 1);
    layout->addWidget(lblStatus);
    layout->addLayout(run);
    layout->addLayout(pace);
    return page;
}

QWidget* MeetingWindow::buildResultsTab(QTableWidget*& t, const char* name) {
    auto* page = new QWidget(this);
    t = table(name, page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(t);
    return page;
}

QWidget* MeetingWindow::buildMainsTab() {
    auto* page = new QWidget(this);
    tblMains = table("tblMains", page);
    tblFinal = table("tblFinal", page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("The class's mains"), page));
    layout->addWidget(tblMains, 1);
    layout->addWidget(new QLabel(QStringLiteral("Final results"), page));
    layout->addWidget(tblFinal, 2);
    return page;
}

}  // namespace lapdeck
