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

namespace {

constexpr int kFollowMs = 250;

}  // namespace

using namespace meeting_ui;

MeetingWindow::MeetingWindow(Parts parts, Clock clock, std::function<void()> redraw,
                             QWidget* raceScreen, QWidget* parent)
    : QDialog(parent), m_parts(parts), m_clock(std::move(clock)), m_redraw(std::move(redraw)) {
    setObjectName(QStringLiteral("MeetingWindow"));
    setWindowTitle(title());
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

// ---------------------------------------------------------------- the meeting file

MeetingPlan MeetingWindow::plan() const {
    return planMeeting(m_meeting, enabledFlags(m_parts.state.Disabled));
}

void MeetingWindow::inform(const QString& text) {
    m_parts.prompter.inform(title(), text, Icon::Exclamation);
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
        m_parts.prompter.input(title(), QStringLiteral("The new meeting's name:"), QString());
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

}  // namespace lapdeck
