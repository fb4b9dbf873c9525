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

const QString kTitle = QStringLiteral("Meeting");
constexpr int kFollowMs = 250;

QPushButton* button(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QTableWidget* table(const char* name, QWidget* parent) {
    auto* t = named(new QTableWidget(parent), name);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return t;
}

// The flag's colour half way to white, so a name on it stays readable.
QColor flagTint(int32_t colour) {
    auto half = [colour](int shift) { return (((colour >> shift) & 0xff) + 255) / 2; };
    return QColor(half(0), half(8), half(16));
}

QString resultLines(const std::vector<RacerResult>& results) {
    QStringList lines;
    int place = 0;
    for (const RacerResult& r : results) {
        lines.append(QStringLiteral("%1. %2 (flag %3): %4 laps, %5")
                         .arg(++place)
                         .arg(r.name)
                         .arg(r.flag)
                         .arg(std::max(r.laps, 0))
                         .arg(resultTimeText(r.timeMs)));
    }
    return lines.join(QStringLiteral("\r\n"));
}

}  // namespace

MeetingWindow::MeetingWindow(Parts parts, Clock clock, std::function<void()> redraw,
                             QWidget* raceScreen, QWidget* parent)
    : QDialog(parent), m_parts(parts), m_clock(std::move(clock)), m_redraw(std::move(redraw)) {
    setObjectName(QStringLiteral("MeetingWindow"));
    setWindowTitle(kTitle);
    setModal(false);
    callBoard = new MeetingCallBoard(raceScreen);

    auto* top = new QHBoxLayout;
    cmbMeetings = named(new QComboBox(this), "cmbMeetings");
    cmbMeetings->setMinimumContentsLength(28);
    auto* cmdOpen = button("cmdOpen", QStringLiteral("&Open"), this);
    auto* cmdNew = button("cmdNew", QStringLiteral("&New..."), this);
    top->addWidget(new QLabel(QStringLiteral("Meeting:"), this));
    top->addWidget(cmbMeetings, 1);
    top->addWidget(cmdOpen);
    top->addWidget(cmdNew);
    connect(cmdOpen, &QPushButton::clicked, this, [this]() {
        if (cmbMeetings->currentIndex() >= 0) {
            openMeeting(cmbMeetings->currentData().toString());
        }
    });
    connect(cmdNew, &QPushButton::clicked, this, &MeetingWindow::newMeeting);

    auto* pick = new QHBoxLayout;
    cmbClass = named(new QComboBox(this), "cmbClass");
    spnRound = named(new QSpinBox(this), "spnRound");
    spnRound->setRange(1, kMaxRounds);
    pick->addWidget(new QLabel(QStringLiteral("Standings of class:"), this));
    pick->addWidget(cmbClass);
    pick->addWidget(new QLabel(QStringLiteral("Round:"), this));
    pick->addWidget(spnRound);
    pick->addStretch(1);
    connect(cmbClass, &QComboBox::currentIndexChanged, this, [this]() {
        if (!m_filling) {
            refresh();
        }
    });
    connect(spnRound, &QSpinBox::valueChanged, this, [this]() {
        if (!m_filling) {
            refresh();
        }
    });

    tabs = named(new QTabWidget(this), "tabs");
    tabs->addTab(buildSetup(), QStringLiteral("Setup"));
    tabs->addTab(buildSchedule(), QStringLiteral("Schedule"));
    tabs->addTab(buildResultsTab(tblRound, "tblRound"), QStringLiteral("Round standings"));
    tabs->addTab(buildResultsTab(tblQualifying, "tblQualifying"), QStringLiteral("Qualifying"));
    tabs->addTab(buildMainsTab(), QStringLiteral("Mains and results"));

    auto* paper = new QHBoxLayout;
    auto* cmdPrint = button("cmdPrint", QStringLiteral("&Print"), this);
    auto* cmdPdf = button("cmdSavePdf", QStringLiteral("Save as P&DF..."), this);
    auto* cmdCsv = button("cmdSaveCsv", QStringLiteral("Save as &CSV..."), this);
    auto* cmdClose = button("cmdClose", QStringLiteral("Close"), this);
    paper->addWidget(new QLabel(QStringLiteral("The list shown:"), this));
    paper->addWidget(cmdPrint);
    paper->addWidget(cmdPdf);
    paper->addWidget(cmdCsv);
    paper->addStretch(1);
    paper->addWidget(cmdClose);
    connect(cmdPrint, &QPushButton::clicked, this, &MeetingWindow::printTable);
    connect(cmdPdf, &QPushButton::clicked, this, &MeetingWindow::savePdf);
    connect(cmdCsv, &QPushButton::clicked, this, &MeetingWindow::saveCsv);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tabs, 1);
    layout->addLayout(pick);
    layout->addLayout(paper);
    resize(900, 560);

    m_follow = new QTimer(this);
    m_follow->setInterval(kFollowMs);
    connect(m_follow, &QTimer::timeout, this, &MeetingWindow::followRace);
    m_follow->start();
    connect(tabs, &QTabWidget::currentChanged, this, [this]() { refresh(); });

    const QStringList files = MeetingFile::list(m_parts.config.folder());
    if (!files.isEmpty()) {
        openMeeting(files.front());
    }
    refresh();
}

MeetingWindow::~MeetingWindow() {
    delete callBoard;
    if (m_live) {
        m_live->setMeeting({});
    }
}

void MeetingWindow::showOnLivePage(LiveResults* live) {
    m_live = live;
    tellLive();
}

void MeetingWindow::tellLive() {
    if (!m_live) {
        return;
    }
    m_liveMinute = m_parts.results.now().toSecsSinceEpoch() / 60;
    if (m_path.isEmpty()) {
        m_live->setMeeting({});
        return;
    }
    const MeetingPlan planned = plan();
    m_live->setMeeting(meetingJson(m_meeting, planned, startsOf(planned), m_parts.state.FlagColor));
}

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

// ---------------------------------------------------------------- the meeting file

MeetingPlan MeetingWindow::plan() const {
    return planMeeting(m_meeting, enabledFlags(m_parts.state.Disabled));
}

void MeetingWindow::inform(const QString& text) {
    m_parts.prompter.inform(kTitle, text, Icon::Exclamation);
}

bool MeetingWindow::openMeeting(const QString& path) {
    QStringList leftOut;
    auto loaded = MeetingFile::load(path, &leftOut);
    if (const QString* problem = std::get_if<QString>(&loaded)) {
        inform(*problem);
        return false;
    }
    if (!leftOut.isEmpty()) {
        inform(leftOut.join(QLatin1Char('\n')));
    }
    m_meeting = std::get<Meeting>(std::move(loaded));
    m_path = path;
    m_loaded.reset();
    m_overSeen = false;
    m_countdown.stop();
    callBoard->hide();
    tabs->setCurrentIndex(1);
    refresh();
    return true;
}

void MeetingWindow::newMeeting() {
    const QString name =
        m_parts.prompter.input(kTitle, QStringLiteral("The new meeting's name:"), QString());
    if (name.isEmpty()) {
        return;
    }
    Meeting m;
    m.name = name;
    m.date = m_parts.results.now().date();
    if (auto problem = checkMeeting(m)) {
        inform(*problem);
        return;
    }
    const QString path = MeetingFile::pathFor(m_parts.config.folder(), m);
    if (QFileInfo::exists(path)) {
        inform(QStringLiteral("There is a meeting of that name and date already: open it."));
        return;
    }
    const Meeting before = m_meeting;
    const QString beforePath = m_path;
    m_meeting = m;
    m_path = path;
    if (!save()) {
        m_meeting = before;
        m_path = beforePath;
        return;
    }
    m_loaded.reset();
    tabs->setCurrentIndex(0);
    refresh();
}

bool MeetingWindow::save() {
    if (auto problem = MeetingFile::save(m_path, m_meeting)) {
        inform(*problem);
        return false;
    }
    return true;
}

bool MeetingWindow::change(const std::function<std::optional<QString>(Meeting&)>& edit) {
    if (m_path.isEmpty()) {
        inform(QStringLiteral("Open a meeting, or make a new one, first."));
        refresh();
        return false;
    }
    Meeting changed = m_meeting;
    std::optional<QString> problem = edit(changed);
    if (!problem) {
        problem = checkMeeting(changed);
    }
    if (problem) {
        inform(*problem);
        refresh();
        return false;
    }
    std::swap(m_meeting, changed);
    if (!save()) {
        std::swap(m_meeting, changed);
    }
    refresh();
    return true;
}

// ---------------------------------------------------------------- setup

void MeetingWindow::addClass() {
    const MeetingClass c{txtClass->text().trimmed(), RaceLength{cmbLengthKind->currentIndex() == 1,
                                                                cmbLength->currentText().toInt()}};
    if (change([&c](Meeting& m) { return lapdeck::addClass(m, c); })) {
        txtClass->clear();
    }
}

void MeetingWindow::enterRacer() {
    const QString name = cmbRacer->currentText().trimmed();
    const QString className = cmbEntryClass->currentText();
    change([&](Meeting& m) { return addEntry(m, name, className); });
}

void MeetingWindow::withdrawRacer() {
    const int row = tblEntries->currentRow();
    if (row < 0 || tblEntries->item(row, 0) == nullptr) {
        return;
    }
    const QString name = tblEntries->item(row, 0)->text();
    const QString className = tblEntries->item(row, 1)->text();
    change([&](Meeting& m) { return withdrawEntry(m, name, className); });
}

void MeetingWindow::moveRacer() {
    const int row = tblEntries->currentRow();
    if (row < 0 || tblEntries->item(row, 0) == nullptr) {
        return;
    }
    const QString name = tblEntries->item(row, 0)->text();
    const QString from = tblEntries->item(row, 1)->text();
    const QString to = cmbEntryClass->currentText();
    change([&](Meeting& m) { return moveEntry(m, name, from, to); });
}

// ---------------------------------------------------------------- running heats

bool MeetingWindow::raceOn() const {
    const RacePhase phase = m_parts.state.phase;
    return phase == RacePhase::Starting || phase == RacePhase::Racing || phase == RacePhase::Paused;
}

bool MeetingWindow::raceOnScreen(const HeatRun& run) const {
    const QString folder = m_parts.records.recorder().raceFolder();
    return !folder.isEmpty() && folder == run.raceFolder;
}

void MeetingWindow::loadNextHeat() {
    if (m_meeting.runningRun() || m_parts.state.phase != RacePhase::Idle) {
        inform(QStringLiteral(
            "A heat can be loaded only while the race screen waits for a start (Reset it "
            "first) and no heat waits for its result."));
        return;
    }
    const MeetingPlan planned = plan();
    const PlannedHeat* next = planned.nextHeat();
    if (!next) {
        inform(planned.problem.isEmpty() ? QStringLiteral("No heat waits to be run.")
                                         : planned.problem);
        return;
    }
    if (const auto error = m_parts.config.reloadRaceFormat()) {
        inform(error->message());
    }
    auto load = lapdeck::loadHeat(m_meeting, *next, m_parts.state.Disabled, m_parts.state.RacerName,
                                  m_parts.config.raceFormat());
    if (const QString* problem = std::get_if<QString>(&load)) {
        inform(*problem);
        return;
    }
    const HeatLoad& heat = std::get<HeatLoad>(load);
    // As a pick of the name pickers and OK in Race Format store them; the reset reads
    // the names back from the data folder.
    if (const auto error = m_parts.config.saveRacerNames(heat.racerNames)) {
        inform(error->message());
        return;
    }
    if (const auto error = m_parts.setup.storeRaceFormat(heat.raceFormat)) {
        inform(error->message());
        return;
    }
    m_parts.engine.ReSet();
    m_parts.port.showStatus();
    m_loaded = next->key;
    m_redraw();
    refresh();
}

void MeetingWindow::followRace() {
    const RacePhase phase = m_parts.state.phase;
    const QString folder = m_parts.records.recorder().raceFolder();
    const bool started = raceOn() || phase == RacePhase::Over;
    if (m_loaded && !m_meeting.runningRun() && started && phase != RacePhase::Starting &&
        !folder.isEmpty() && !m_parts.state.IsPractice) {
        const HeatKey key = *m_loaded;
        m_loaded.reset();
        const MeetingPlan planned = plan();
        if (const PlannedHeat* heat = planned.find(key); heat && heat->ready()) {
            const std::vector<Seat> seats = heat->namedSeats();
            change([&](Meeting& m) -> std::optional<QString> {
                auto id = startHeat(m, key, seats, folder);
                if (const QString* problem = std::get_if<QString>(&id)) {
                    return *problem;
                }
                return std::nullopt;
            });
            m_overSeen = false;
            m_countdown.stop();
        }
    }
    const HeatRun* running = m_meeting.runningRun();
    if (running && raceOnScreen(*running) && phase == RacePhase::Over && !m_overSeen) {
        m_overSeen = true;
        heatEnded();
        refresh();
    }
    if (raceOn()) {
        callBoard->hide();
    }
    const MeetingPlan planned = plan();
    for (HeatCountdown::Call c : m_countdown.poll(m_clock())) {
        if (const PlannedHeat* next = planned.nextHeat()) {
            call(*next, c != HeatCountdown::Call::Due);
        }
    }
    if (m_countdown.running()) {
        const QString left = countdownText(m_countdown.remainingMs(m_clock()));
        lblCountdown->setText(QStringLiteral("Next heat in ") + left);
        if (!callBoard->isHidden() && planned.nextHeat()) {
            call(*planned.nextHeat(), false);
        }
    } else {
        lblCountdown->setText(chkPace->isChecked() && !running && planned.nextHeat()
                                  ? QStringLiteral("The next heat is due.")
                                  : QString());
    }

    const bool waiting = running && !(raceOnScreen(*running) && raceOn());
    cmdLoadNext->setEnabled(!m_path.isEmpty() && !running && phase == RacePhase::Idle &&
                            planned.nextHeat() != nullptr);
    cmdAccept->setEnabled(waiting);
    cmdDrop->setEnabled(waiting);
    const PlannedHeat* selected = selectedHeat(planned);
    cmdRunAgain->setEnabled(!running && selected && selected->status == HeatStatus::Done);

    QString status;
    if (m_path.isEmpty()) {
        status = QStringLiteral("Open a meeting, or make a new one.");
    } else if (running && raceOnScreen(*running) && raceOn()) {
        status = heatTitle(running->key) + QStringLiteral(" is running.");
    } else if (running && raceOnScreen(*running)) {
        status = heatTitle(running->key) +
                 QStringLiteral(
                     " is over: correct its laps if need be, then Accept result (or Drop "
                     "start).");
    } else if (running) {
        status = heatTitle(running->key) +
                 QStringLiteral(
                     " was started but its race is not on the race screen (a restart, or "
                     "a reset): Accept result takes it from its race folder; Drop start "
                     "forgets it.");
    } else if (m_loaded) {
        status = heatTitle(*m_loaded) +
                 QStringLiteral(" is on the flags: press Start on the race screen.");
    } else if (planned.nextHeat()) {
        status = QStringLiteral("Next: ") + planned.nextHeat()->title() + QLatin1Char('.');
    } else {
        status = planned.problem.isEmpty() ? QStringLiteral("Every heat has been run.")
                                           : planned.problem;
    }
    lblStatus->setText(status);
    if (m_parts.results.now().toSecsSinceEpoch() / 60 != m_liveMinute) {
        tellLive();
    }
}

void MeetingWindow::heatEnded() {
    if (chkPace->isChecked()) {
        m_countdown.start(m_clock(), spnGap->value());
    }
}

void MeetingWindow::call(const PlannedHeat& heat, bool speak) {
    std::vector<PlannedSeat> seats = heat.seats;
    std::sort(seats.begin(), seats.end(),
              [](const PlannedSeat& a, const PlannedSeat& b) { return a.flag < b.flag; });
    QStringList names;
    for (const PlannedSeat& seat : seats) {
        names.append(QStringLiteral("%1\u00a0%2")
                         .arg(seat.flag)
                         .arg(seat.name.isEmpty() ? seat.standIn : seat.name));
    }
    const int64_t left = m_countdown.remainingMs(m_clock());
    callBoard->call({QStringLiteral("Next heat") +
                         (m_countdown.running() ? QStringLiteral(" in ") + countdownText(left)
                                                : QStringLiteral(": now")),
                     heat.title(), names.join(QStringLiteral("\u2003\u2003"))});
    if (speak && m_parts.speech) {
        m_parts.speech->say(nextHeatCallout(heat), []() {});
    }
}

void MeetingWindow::adjustPace(int seconds) {
    m_countdown.adjust(m_clock(), seconds);
    followRace();
}

void MeetingWindow::acceptResult() {
    const HeatRun* run = m_meeting.runningRun();
    if (!run || (raceOnScreen(*run) && raceOn())) {
        return;
    }
    const int id = run->id;
    const QString title = heatTitle(run->key);
    auto result = resultFromRaceFolder(run->raceFolder, run->seats);
    if (const QString* problem = std::get_if<QString>(&result)) {
        inform(title + QStringLiteral(": the result cannot be taken from its race folder.\r\n") +
               *problem);
        return;
    }
    std::vector<RacerResult> results = std::get<std::vector<RacerResult>>(std::move(result));
    std::stable_sort(results.begin(), results.end(), finishesAhead);
    if (m_parts.prompter.ask(QStringLiteral("Accept Result"),
                             title + QStringLiteral(":\r\n") + resultLines(results) +
                                 QStringLiteral("\r\n\r\nTake this result into the meeting?"),
                             Icon::Question, false) != Answer::Yes) {
        return;
    }
    const bool onScreen = raceOnScreen(*run);
    if (change([&](Meeting& m) { return finishHeat(m, id, results); }) && !onScreen &&
        !m_countdown.running()) {
        heatEnded();  // a race finished elsewhere (before a restart) ends here
    }
}

void MeetingWindow::dropStart() {
    const HeatRun* run = m_meeting.runningRun();
    if (!run || (raceOnScreen(*run) && raceOn())) {
        return;
    }
    const int id = run->id;
    if (m_parts.prompter.ask(
            kTitle,
            heatTitle(run->key) + QStringLiteral(": forget this start? The heat waits to be run."),
            Icon::Question, true) == Answer::Yes) {
        change([id](Meeting& m) { return abandonHeat(m, id); });
    }
}

const PlannedHeat* MeetingWindow::selectedHeat(const MeetingPlan& planned) const {
    const int row = tblSchedule->currentRow();
    return row >= 0 && static_cast<size_t>(row) < planned.heats.size()
               ? &planned.heats[static_cast<size_t>(row)]
               : nullptr;
}

void MeetingWindow::runAgain() {
    const MeetingPlan planned = plan();
    const PlannedHeat* heat = selectedHeat(planned);
    if (!heat || heat->status != HeatStatus::Done) {
        return;
    }
    const HeatKey key = heat->key;
    if (m_parts.prompter.ask(
            kTitle,
            heat->title() + QStringLiteral(": run it again? Its result stays in the record, marked "
                                           "replaced, and no longer counts."),
            Icon::Question, true) == Answer::Yes) {
        change([&key](Meeting& m) { return rerunHeat(m, key); });
    }
}

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
                       ? kTitle
                       : kTitle + QStringLiteral(" - ") + m_meeting.name + QStringLiteral(", ") +
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
