#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTcpSocket>

#include "ClickLabel.h"
#include "GuiTestSupport.h"
#include "LiveResults.h"
#include "MeetingCallBoard.h"
#include "MeetingFile.h"
#include "MeetingWindow.h"
#include "RaceArchive.h"
#include "RaceRecorder.h"
#include "SpeechEngine.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

// Each text said, at once.
class SaidSpeech : public SpeechEngine {
public:
    void say(const QString& text, std::function<void()> done) override {
        said << text;
        QTimer::singleShot(0, std::move(done));
    }
    void endWithin(int) override {}
    QStringList said;
};

// Two classes on four flags: Touring (3 laps) Ann to Eve, Buggy (4 laps) Fay to Hal;
// two rounds on points, two mains with one bump-up. Minimum lap one second.
void meetingFolder(DataFolder& data) {
    data.settings.disabled[5] = data.settings.disabled[6] = true;
    data.minLap(u"1"_s);
    saveRoster(data.path(FileNames::roster),
               {u"Ann"_s, u"Bob"_s, u"Cy"_s, u"Dee"_s, u"Eve"_s, u"Fay"_s, u"Gus"_s, u"Hal"_s});
    data.format(RaceOption::LapRace, 20);
}

// The window with the lap unit on a pseudo-terminal, the race clock moved by hand.
struct MeetingRig {
    // `raceClock` in nanoseconds; empty: the hand clock.
    MeetingRig(DataFolder& data, const QString& unit, std::function<int64_t()> raceClock = {})
        : rig(data, [this, raceClock, &data](LapdeckServices& s) {
              live = std::make_unique<LiveResults>(rig.state, data.folder);
              s.live = live.get();
              s.clock = raceClock ? raceClock : [this]() { return clock.ns; };
              s.speech = &speech;
              s.results.files = &files;
              s.results.printer = &printer;
              s.results.runModal = [](QDialog&) {};
          }) {
        frmLapdeck& w = *rig.window;
        w.portMap().choose(2, unit);
        EXPECT_TRUE(w.OpenRacePort(2));
        w.mnuMeeting->trigger();
        meeting = w.findChild<MeetingWindow*>();
    }
    frmLapdeck& window() { return *rig.window; }

    HandClock clock;
    SaidSpeech speech;
    ScriptedFiles files;
    KeepingPrinter printer{PagePrinter::Outcome::NoPrinter};
    std::unique_ptr<LiveResults> live;  // not serving unless a test starts it
    WindowRig rig;
    MeetingWindow* meeting = nullptr;
};

// The meeting as the live page gets it.
QJsonObject liveMeeting(const LiveResults& live) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, live.port());
    socket.write("GET /meeting.json HTTP/1.1\r\nHost: lapdeck\r\n\r\n");
    QByteArray reply;
    while (!reply.endsWith('}') && socket.waitForReadyRead(5000)) {
        reply += socket.readAll();
    }
    return QJsonDocument::fromJson(reply.mid(reply.indexOf("\r\n\r\n") + 4)).object();
}

int journalLines(const QString& raceFolder) {
    return static_cast<int>(
        fileBytes(QDir(raceFolder).filePath(RaceArchive::kJournal)).count('\n'));
}

// The racers cross in `speed` order, 2 s a lap, 0.1 s apart, each report sent once
// the one before is journaled, until the race is over (or `stopAfter` reports).
void raceHeat(MeetingRig& m, const Pty& unit, const QStringList& speed, int stopAfter = 1000) {
    RaceState& s = m.rig.state;
    const QString folder = m.window().recorder().raceFolder();
    const int64_t green = m.clock.ms() - s.RaceClock;
    std::vector<std::pair<int, int>> order;  // rank, flag
    for (int f = 1; f <= kFlags; ++f) {
        const FlagName name = s.flagName(f);
        if (name.state == NameState::Named) {
            order.emplace_back(static_cast<int>(speed.indexOf(name.name.trimmed())), f);
        }
    }
    std::sort(order.begin(), order.end());
    int sent = 0;
    for (int lap = 1; s.phase != RacePhase::Over && lap < 20; ++lap) {
        for (const auto& [rank, flag] : order) {
            if (s.phase == RacePhase::Over || sent == stopAfter) {
                return;
            }
            m.clock.advanceTo(green + lap * 2000 + rank * 100);
            const int before = journalLines(folder);
            const char report[] = {static_cast<char>('0' + flag), '\0'};
            unit.send(report);
            ++sent;
            ASSERT_TRUE(runUntil(
                [&]() { return journalLines(folder) > before || s.phase == RacePhase::Over; },
                5000))
                << "report " << sent << " not read";
        }
    }
    m.clock.advanceTo(m.clock.ms() + 60000);  // a straggler's deadline runs out
    ASSERT_TRUE(runUntil([&]() { return s.phase == RacePhase::Over; }, 5000));
}

const QStringList kSpeed = {u"Ann"_s, u"Bob"_s, u"Cy"_s,  u"Dee"_s,
                            u"Eve"_s, u"Fay"_s, u"Gus"_s, u"Hal"_s};

void setUpMeeting(MeetingRig& m) {
    MeetingWindow& mw = *m.meeting;
    m.rig.prompter.inputs << u"Club day"_s;
    mw.newMeeting();
    for (auto [name, laps] : {std::pair{"Touring", "3"}, std::pair{"Buggy", "4"}}) {
        mw.txtClass->setText(QString::fromLatin1(name));
        mw.cmbLength->setCurrentText(QString::fromLatin1(laps));
        mw.addClass();
    }
    for (int i = 0; i < kSpeed.size(); ++i) {
        mw.cmbRacer->setCurrentText(kSpeed[i]);
        mw.cmbEntryClass->setCurrentText(i < 5 ? u"Touring"_s : u"Buggy"_s);
        mw.enterRacer();
    }
    mw.spnRounds->setValue(2);
    mw.spnMains->setValue(2);
    mw.spnBumpUps->setValue(1);
}

// Loads the next heat, races it through the lap unit and accepts its result.
QString runHeat(MeetingRig& m, const Pty& unit) {
    MeetingWindow& mw = *m.meeting;
    const QString title = mw.plan().nextHeat()->title();
    mw.followRace();  // the window follows the race screen's reset
    mw.cmdLoadNext->click();
    m.window().cmdStart_Click();
    mw.followRace();
    raceHeat(m, unit, kSpeed);
    mw.followRace();
    EXPECT_TRUE(mw.cmdAccept->isEnabled()) << title.toStdString();
    mw.cmdAccept->click();        // Yes
    m.window().cmdStart_Click();  // Reset; the results are not kept apart (Yes)
    return title;
}

TEST(MeetingWindow, RunsAMeetingOfTwoClassesThroughTheLapUnitToItsFinalResults) {
    Pty unit;
    DataFolder data;
    meetingFolder(data);
    MeetingRig m(data, unit.path());
    ASSERT_NE(m.meeting, nullptr);
    MeetingWindow& mw = *m.meeting;
    ASSERT_FALSE(m.live->start(0, QHostAddress::LocalHost).has_value());
    setUpMeeting(m);
    ASSERT_EQ(mw.meeting().entries.size(), 8u);

    // The first heat on the flags, as the pickers and Race Format would put them.
    mw.cmdLoadNext->click();
    EXPECT_EQ(m.window().lblName[1]->text(), u" Ann"_s);
    EXPECT_EQ(m.window().lblName[3]->text(), u" Cy"_s);
    EXPECT_EQ(m.window().lblName[4]->text(), u" Empty"_s);
    EXPECT_EQ(m.window().lblRaceFormat->text(), u"3 Lap Race"_s);
    EXPECT_TRUE(fileBytes(data.path(FileNames::racerNames)).contains("\"Cy\""));

    QStringList run;
    m.window().cmdStart_Click();
    mw.followRace();
    ASSERT_NE(mw.meeting().runningRun(), nullptr);
    EXPECT_EQ(mw.meeting().runningRun()->raceFolder, m.window().recorder().raceFolder());
    EXPECT_FALSE(mw.cmdAccept->isEnabled());  // not while it runs
    raceHeat(m, unit, kSpeed);
    mw.followRace();
    mw.cmdAccept->click();
    m.window().cmdStart_Click();
    run << u"Touring round 1 heat 1"_s;
    // Run again: the first run stays in the record, replaced.
    mw.tabs->setCurrentIndex(1);
    mw.tblSchedule->selectRow(0);
    mw.cmdRunAgain->click();  // Yes
    EXPECT_EQ(mw.tblSchedule->item(0, mw.tblSchedule->columnCount() - 1)->text(), u"Replaced"_s);
    EXPECT_EQ(mw.plan().nextHeat()->title(), u"Touring round 1 heat 1"_s);
    while (mw.plan().nextHeat() && run.size() < 12 && !::testing::Test::HasFailure()) {
        run << runHeat(m, unit);
    }
    EXPECT_EQ(run, (QStringList{u"Touring round 1 heat 1"_s, u"Touring round 1 heat 1"_s,
                                u"Touring round 1 heat 2"_s, u"Buggy round 1 heat 1"_s,
                                u"Touring round 2 heat 1"_s, u"Touring round 2 heat 2"_s,
                                u"Buggy round 2 heat 1"_s, u"Touring B main"_s, u"Buggy B main"_s,
                                u"Touring A main"_s, u"Buggy A main"_s}));

    // The final results, as a CSV file of the results tab.
    mw.tabs->setCurrentIndex(4);
    mw.cmbClass->setCurrentText(u"Touring"_s);
    const QString csv = data.path(u"touring.csv"_s);
    m.files.names << csv;
    mw.saveCsv();
    // Everyone ran 2 s laps; the qualifying order is the speed order. Cy won the B
    // main and went to the back of the A main, where he stayed third.
    EXPECT_EQ(QString::fromUtf8(fileBytes(csv)),
              u"Place,Name,Main,Laps,Time,Best lap\r\n"
              "1,Ann,A,3,0:06.000,2.00\r\n"
              "2,Bob,A,3,0:06.100,2.00\r\n"
              "3,Cy,A,3,0:06.200,2.00\r\n"
              "4,Dee,B,3,0:06.300,2.00\r\n"
              "5,Eve,B,3,0:06.400,2.00\r\n"_s);
    mw.cmbClass->setCurrentText(u"Buggy"_s);
    QStringList buggy;
    for (int r = 0; r < mw.tblFinal->rowCount(); ++r) {
        buggy << mw.tblFinal->item(r, 1)->text() + mw.tblFinal->item(r, 2)->text();
    }
    EXPECT_EQ(buggy, (QStringList{u"FayA"_s, u"GusA"_s, u"HalB"_s}));
    // The live page has what the window has, and nothing once the window is gone.
    QJsonObject served;
    EXPECT_TRUE(runUntil(
        [&]() {
            served = liveMeeting(*m.live);
            return served[u"heats"_s].toArray().last()[u"status"_s] == u"Done"_s;
        },
        5000));
    EXPECT_EQ(served[u"heats"_s].toArray().size(), mw.tblSchedule->rowCount());
    QStringList finalCsv;
    for (const QJsonValue row : served[u"classes"_s][0][u"final"_s][u"rows"_s].toArray()) {
        finalCsv << row.toVariant().toStringList().join(u',');
    }
    EXPECT_EQ(finalCsv.join(u"\r\n"_s) + u"\r\n"_s,
              QString::fromUtf8(fileBytes(csv)).section(u"\r\n"_s, 1));
    // The meeting file holds every heat, and reads back as the window has it.
    const auto loaded = MeetingFile::load(mw.filePath());
    ASSERT_TRUE(std::holds_alternative<Meeting>(loaded));
    EXPECT_EQ(std::get<Meeting>(loaded), mw.meeting());
    EXPECT_EQ(std::get<Meeting>(loaded).runs.size(), 11u);
    delete m.meeting;
    EXPECT_TRUE(runUntil([&]() { return liveMeeting(*m.live).isEmpty(); }, 5000));
}

TEST(MeetingWindow, CallsTheNextHeatOnTheCountdownAndPutsItsListsOnPaper) {
    Pty unit;
    DataFolder data;
    meetingFolder(data);
    MeetingRig m(data, unit.path());
    MeetingWindow& mw = *m.meeting;
    setUpMeeting(m);
    mw.tabs->setCurrentIndex(1);
    m.clock.advanceTo(1000);
    mw.spnGap->setValue(2);
    mw.chkPace->setChecked(true);  // nothing running: the countdown starts now
    const QString call = u"Next heat, Touring round 1 heat 1: Ann, Bob, Cy"_s;
    const struct {
        int64_t at;
        int adjust;
        QStringList said;
        QString countdown;
    } steps[] = {
        {60000, 0, {}, u"Next heat in 1:01"_s},
        {61000, 0, {call}, u"Next heat in 1:00"_s},
        {62000, kGapStepSeconds, {call}, u"Next heat in 1:14"_s},
        {76000, 0, {call, call}, u"Next heat in 1:00"_s},
        {106000, -kGapStepSeconds, {call, call, call}, u"Next heat in 0:15"_s},
    };
    for (const auto& s : steps) {
        m.clock.advanceTo(s.at);
        mw.followRace();
        if (s.adjust != 0) {
            mw.adjustPace(s.adjust);
        }
        EXPECT_EQ(m.speech.said, s.said) << s.at;
        EXPECT_EQ(mw.lblCountdown->text(), s.countdown) << s.at;
    }
    ASSERT_FALSE(mw.callBoard->isHidden());
    EXPECT_TRUE(mw.callBoard->text().contains(u"Touring round 1 heat 1"_s));
    EXPECT_TRUE(mw.callBoard->text().contains(u"1\u00a0Ann"_s));
    // The race starts: the board makes way.
    mw.cmdLoadNext->click();
    m.window().cmdStart_Click();
    mw.followRace();
    EXPECT_TRUE(mw.callBoard->isHidden());
    EXPECT_EQ(mw.lblCountdown->text(), QString());

    // The heat list with its planned times: no printer, so a PDF (Yes).
    const QString pdf = data.path(u"heats.pdf"_s);
    m.files.names << pdf;
    mw.printTable();
    ASSERT_EQ(m.printer.printed.size(), 1u);
    const Printout& list = m.printer.printed[0];
    EXPECT_EQ(list.lines.at(0).items.at(0).text, u"Heat list"_s);
    EXPECT_EQ(list.lines.at(3).items.at(1).text, u"Time"_s);
    EXPECT_EQ(list.lines.at(4).items.at(0).text, u"Touring round 1 heat 1"_s);
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));
    EXPECT_EQ(m.files.asked.value(0), QFileInfo(mw.filePath()).absolutePath() + u"/"_s +
                                          QFileInfo(mw.filePath()).completeBaseName() +
                                          u" Heat list.pdf"_s);
    // The qualifying of a class as CSV.
    mw.tabs->setCurrentIndex(3);
    mw.cmbClass->setCurrentText(u"Buggy"_s);
    const QString csv = data.path(u"q.csv"_s);
    m.files.names << csv;
    mw.saveCsv();
    EXPECT_TRUE(
        fileBytes(csv).startsWith("Place,Name,Points,Laps,Time,Round,Best lap,R1,R2\r\n"
                                  "1,Fay,0,,,,,-,-\r\n"));
}

// A meeting of one round: Touring, Ann to Eve on four flags, 20 laps a heat.
void killFolder(DataFolder& data) {
    meetingFolder(data);
    Meeting m;
    m.name = u"Club day"_s;
    m.date = QDate(2026, 12, 5);
    m.rounds = 1;
    m.countedRounds = 1;
    m.mains = 0;
    m.classes.push_back(MeetingClass{u"Touring"_s, RaceLength{false, 20}});
    for (const QString& name : kSpeed.mid(0, 5)) {
        ASSERT_FALSE(addEntry(m, name, u"Touring"_s));
    }
    ASSERT_FALSE(MeetingFile::save(MeetingFile::pathFor(data.folder, m), m));
}

// The program's side of the kill test: the meeting's first heat loaded and started
// on the port named by the parent, run until the parent kills the process.
TEST(MeetingWindowChild, RunsAHeatUntilKilled) {
    const QString folder = qEnvironmentVariable("LAPDECK_MEETING_KILL_DATA");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "run by MeetingWindow.AHeatKilledMidRaceCountsOnceRecovered";
    }
    DataFolder data(folder);
    // Race time twenty times as fast: a report journaled is the next one's cue.
    auto fast = std::make_shared<QElapsedTimer>();
    fast->start();
    MeetingRig m(data, qEnvironmentVariable("LAPDECK_MEETING_KILL_PORT"),
                 [fast]() { return fast->nsecsElapsed() * 20; });
    ASSERT_NE(m.meeting, nullptr);
    m.meeting->cmdLoadNext->click();
    m.window().cmdStart_Click();
    waitToBeKilled();
}

TEST(MeetingWindow, AHeatKilledMidRaceCountsOnceRecovered) {
    Pty unit;
    DataFolder data;
    killFolder(data);
    QProcess lapdeck;
    startChild(lapdeck, u"MeetingWindowChild.RunsAHeatUntilKilled"_s,
               {{u"LAPDECK_MEETING_KILL_DATA"_s, data.folder},
                {u"LAPDECK_MEETING_KILL_PORT"_s, unit.path()}});
    ASSERT_TRUE(lapdeck.waitForStarted());
    const QString file = MeetingFile::list(data.folder).value(0);
    // The heat is in the meeting file as running before a lap is sent.
    ASSERT_TRUE(runUntil([&]() { return fileBytes(file).contains("\"Running\""); }, 10000));
    const QString folder = RaceArchive(data.folder).races().front().folder;
    for (int sent = 0; sent < 9; ++sent) {
        const char report[] = {static_cast<char>('1' + sent % 3), '\0'};
        unit.send(report);
        ASSERT_TRUE(runUntil([&]() { return journalLines(folder) > sent; }, 5000));
    }
    lapdeck.kill();  // SIGKILL: nothing of ours runs after it
    ASSERT_TRUE(lapdeck.waitForFinished());

    Pty again;
    MeetingRig m(data, again.path());
    m.window().offerRecovery();  // Yes: the race as its journal tells it
    const PerFlag<int16_t> laps = m.rig.state.LapCount;
    ASSERT_NE(m.meeting, nullptr);
    MeetingWindow& mw = *m.meeting;
    ASSERT_NE(mw.meeting().runningRun(), nullptr);
    EXPECT_EQ(mw.meeting().runningRun()->raceFolder, folder);
    EXPECT_TRUE(mw.lblStatus->text().contains(u"not on the race screen"_s));
    mw.cmdAccept->click();  // Yes
    const HeatRun* run = mw.meeting().countingRun(HeatKey{u"Touring"_s, 1, 1});
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->status, RunStatus::Done);
    // Each racer with the laps the recovered race shows (how many of the three
    // crossings each counted, and so the order, depends on the real time between
    // them).
    QStringList counted;
    for (const RacerResult& r : run->results) {
        counted << u"%1 on %2: %3"_s.arg(r.name).arg(r.flag).arg(r.laps);
    }
    EXPECT_GT(laps[1], 0);
    counted.sort();
    EXPECT_EQ(counted, (QStringList{u"Ann on 1: %1"_s.arg(laps[1]), u"Bob on 2: %1"_s.arg(laps[2]),
                                    u"Cy on 3: %1"_s.arg(laps[3])}));

    // The meeting goes on with the next heat.
    m.window().cmdStart_Click();  // Reset the recovered race
    mw.followRace();
    mw.cmdLoadNext->click();
    EXPECT_EQ(m.window().lblName[1]->text(), u" Dee"_s);
    EXPECT_EQ(m.window().lblName[2]->text(), u" Eve"_s);
    EXPECT_EQ(m.window().lblRaceFormat->text(), u"20 Lap Race"_s);
}

}  // namespace
}  // namespace lapdeck::test
