#include "RaceEngine.h"

#include <algorithm>
#include <cmath>

#include "LapSort.h"
#include "LapTimeText.h"
#include "NumberFormat.h"
#include "ReportParser.h"
#include "ScreenTexts.h"

namespace lapdeck {
namespace {

using namespace captions;

const QString kGreenFlag = QStringLiteral("GreenFlagblack.bmp");
const QString kLogo = QStringLiteral("LVLogo.gif");

int32_t roundToLong(double value) {
    const double r = std::nearbyint(value);
    if (r >= 2147483647.0) {
        return 2147483647;
    }
    if (r <= -2147483648.0) {
        return -2147483647 - 1;
    }
    return static_cast<int32_t>(r);
}

}  // namespace

std::optional<Question> unsavedResultsQuestion(const RaceState& state, const QString& closingLine) {
    Question question;
    QString first;
    if (state.SummaryUnsaved && state.LapsUnsaved) {
        question.title = QStringLiteral("Files not saved");
        first = QStringLiteral("Summary & Lap files have not be saved.");
    } else if (state.SummaryUnsaved) {
        question.title = QStringLiteral("Summary not saved");
        first = QStringLiteral("Summary file has not be saved.");
    } else if (state.LapsUnsaved) {
        question.title = QStringLiteral("Laps not saved");
        first = QStringLiteral("Lap file has not be saved.");
    } else {
        return std::nullopt;
    }
    question.text = first + kCrLf + closingLine;
    return question;
}

RaceEngine::RaceEngine(RaceState& state, RaceHost& host, Prompter& prompter, RandomSource& random)
    : m_state(state), m_host(host), m_prompter(prompter), m_random(random) {}

// ---------------------------------------------------------------- tick

void RaceEngine::showClock() {
    const RaceState& s = m_state;
    int64_t seconds = 0;
    if (s.IsTimedRace) {
        seconds = (static_cast<int64_t>(s.RaceMinutes) * 60000 - s.RaceClock) / 1000;
        seconds = std::max<int64_t>(seconds, 0);
    } else {
        seconds = s.RaceClock / 1000;
    }
    // The text changes once a second; formatting it on every 10 ms tick is waste.
    if (seconds == m_clockSeconds && !m_state.screen.clock.isEmpty()) {
        return;
    }
    m_clockSeconds = seconds;
    const QString minutes = formatNumber(static_cast<double>(seconds / 60), u"00");
    const QString secs = formatNumber(static_cast<double>(seconds % 60), u"00");
    m_state.screen.clock = minutes + QLatin1Char(':') + secs;
}

void RaceEngine::Timer1_Timer(int32_t milliseconds, ReportSource& source) {
    showClock();
    CheckFinish();
    m_state.RaceClock += milliseconds;
    // Results shown at "Race  Over" never change afterwards.
    if (m_state.RaceOver != 0) {
        return;
    }
    if (!m_state.Demo) {
        while (source.hasInput()) {
            const QString text = source.read();
            m_host.reportRead(m_state.RaceClock, text);
            handleReport(text);
        }
    } else {
        runDemo();
    }
}

void RaceEngine::handleReport(const QString& text) {
    m_state.PortInput = text;
    m_state.FlagNo = parseReport(text);
    if (m_state.FlagNo != 0) {
        CountLap(m_state.FlagNo);
    }
    refreshScreen();
}

void RaceEngine::runDemo() {
    RaceState& s = m_state;
    for (int f = 1; f <= kFlags; ++f) {
        if (s.RaceClock > s.DemoNextLap[f]) {
            s.DemoNextLap[f] =
                s.RaceClock + static_cast<int32_t>(std::floor(m_random.next() * s.DemoLapSpread[f] +
                                                              s.DemoLapBase[f]));
            const float x = static_cast<float>(m_random.next() * 100.0);
            if (x < s.DemoCrashChance[f]) {
                s.DemoNextLap[f] = roundToLong(s.DemoNextLap[f] + 1000 + m_random.next() * 3000);
            }
            s.FlagNo = static_cast<int16_t>(f);
            m_host.reportRead(s.RaceClock, QString::number(f));
            CountLap(s.FlagNo);
            refreshScreen();
        }
    }
}

void RaceEngine::drawDemoParameters(int f) {
    RaceState& s = m_state;
    // The list offers 1 to 60 s; a hand-edited settings file must not overflow a lap.
    const double m = std::clamp(static_cast<double>(s.MinLapTime), 0.0, 3600.0);
    s.DemoNextLap[f] = static_cast<int32_t>(std::floor(600 * m_random.next() + 100));
    s.DemoLapSpread[f] = static_cast<int32_t>(std::floor(m * 1000 / 10 + 250 * m_random.next()));
    s.DemoLapBase[f] = static_cast<int32_t>(std::floor(m * 1000 + 750 * m_random.next() + 1000));
    s.DemoCrashChance[f] = static_cast<int16_t>(std::floor(18 * m_random.next() + 1));
}

// ---------------------------------------------------------------- lap counting

void RaceEngine::CountLap(int16_t flag) {
    RaceState& s = m_state;
    const int f = flag;
    if (f < 1 || f > kFlags) {
        return;
    }
    // The lap store ends at lap 3000: further crossings of that flag change nothing.
    if (s.LapCount[f] >= kMaxLap) {
        return;
    }
    if (s.IsLapRace && s.LapCount[f] == s.RaceLaps) {
        return;
    }
    if (s.isDisabled(f)) {
        s.screen.row[f].lapNum.clear();
        return;
    }
    s.NewLapTime[f] = s.RaceClock - s.LastCrossTime[f];

    // Whole seconds, halves to the even neighbour: 2.5 s lets laps over 2 s count.
    const double minimumSeconds = roundHalfEven(static_cast<double>(s.MinLapTime));
    const bool longEnough = static_cast<double>(s.NewLapTime[f]) > minimumSeconds * 1000.0;
    if (!longEnough && s.LapCount[f] != s.FirstLapIndex) {
        return;
    }

    m_host.playSound(QStringLiteral("cargoingby.wav"), 85, 50);
    s.LastCrossing[f] = s.RaceClock;
    s.LapCount[f] = static_cast<int16_t>(s.LapCount[f] + 1);
    const int n = s.LapCount[f];
    const float seconds = lapSecondsFromMs(s.NewLapTime[f]);
    s.LapTimes[f][static_cast<size_t>(n)] = seconds;
    s.SortedLapTimes[f][static_cast<size_t>(n)] = seconds;
    s.LastCrossTime[f] = s.LastCrossing[f];
    s.ShownLapTime[f] = s.NewLapTime[f];
    const bool newBest =
        s.NewLapTime[f] != kNoBestLap && s.NewLapTime[f] < s.BestLapTime[f] && n >= 2;
    if (newBest) {
        s.BestLapTime[f] = s.NewLapTime[f];
    }
    m_host.lapCounted(f, n, s.NewLapTime[f], newBest);
}

// ---------------------------------------------------------------- standings

void RaceEngine::ComputePosition() {
    RaceState& s = m_state;
    for (int p = 1; p <= kFlags; ++p) {
        s.RunningOrder[p] = static_cast<int16_t>(p);
    }
    // More laps first; on equal laps the earlier crossing; full ties keep flag order.
    std::stable_sort(s.RunningOrder.begin() + 1, s.RunningOrder.end(), [&s](int16_t a, int16_t b) {
        if (s.LapCount[a] != s.LapCount[b]) {
            return s.LapCount[a] > s.LapCount[b];
        }
        return s.LastCrossing[a] < s.LastCrossing[b];
    });
    for (int p = 1; p <= kFlags; ++p) {
        s.Position[s.RunningOrder[p]] = static_cast<int16_t>(p);
    }
}

void RaceEngine::ComputeInterval() {
    RaceState& s = m_state;
    const int leader = s.RunningOrder[1];
    const QString zero = QStringLiteral("0.00");
    s.LagBehind[leader] = zero;
    s.LagFirst[leader] = zero;
    auto gap = [&s](int a, int b) {
        if (s.LapCount[a] == s.LapCount[b]) {
            const int64_t ms =
                std::llabs(static_cast<int64_t>(s.LastCrossing[a]) - s.LastCrossing[b]);
            return formatNumber(static_cast<double>(ms) / 1000.0, u"0.00");
        }
        return formatNumber(std::abs(s.LapCount[a] - s.LapCount[b]), u"#Lap");
    };
    for (int p = 2; p <= kFlags; ++p) {
        const int a = s.RunningOrder[p];
        const int b = s.RunningOrder[p - 1];
        if (s.LastCrossing[a] >= s.LastCrossing[b]) {
            s.LagBehind[a] = gap(a, b);
        }
    }
    for (int p = 2; p <= kFlags; ++p) {
        const int a = s.RunningOrder[p];
        if (s.LastCrossing[a] > s.LastCrossing[leader]) {
            s.LagFirst[a] = gap(a, leader);
        }
    }
}

void RaceEngine::subSortLapTimes() {
    lapdeck::subSortLapTimes(m_state);
}

// ---------------------------------------------------------------- finish

void RaceEngine::giveCheckeredFlag(const QString& cue) {
    RaceState& s = m_state;
    m_host.playSound(cue, 100, 50);
    s.FlagPicture = QStringLiteral("CheckeredFlagblack.bmp");
    s.screen.picture = s.FlagPicture;
    const int leader = s.RunningOrder[1];
    for (int p = 2; p <= kFlags; ++p) {
        const int f = s.RunningOrder[p];
        // A car that completed the distance in the leader's tick has finished too.
        if (s.IsLapRace && !s.IsTimedRace && s.LapCount[f] == s.RaceLaps) {
            s.FinishLap[f] = s.LapCount[f];
        } else {
            s.FinishLap[f] = static_cast<int16_t>(s.LapCount[f] + 1);
        }
    }
    if (leader >= 1) {
        s.FinishLap[leader] = s.LapCount[leader];
    }
}

// A leader whose best lap was reset has none (999999), which would hold the race
// open for half an hour: its last lap stands in.
int32_t RaceEngine::deadlineLap(int leader) const {
    const RaceState& s = m_state;
    return s.BestLapTime[leader] != kNoBestLap ? s.BestLapTime[leader] : s.ShownLapTime[leader];
}

void RaceEngine::CheckFinish() {
    RaceState& s = m_state;
    const int leader = s.RunningOrder[1];
    if (leader < 1 || leader > kFlags) {
        return;
    }
    if (!s.IsTimedRace) {
        if (!s.IsLapRace) {
            return;
        }
        // Lap 0 on top (a race beginning with lap 0) is not yet running.
        if (s.LapCount[leader] < 1) {
            return;
        }
        if (s.LapCount[leader] == s.RaceLaps - 1 && !s.WhiteFlagShown) {
            s.FlagPicture = QStringLiteral("whiteflagblack.bmp");
            s.screen.picture = s.FlagPicture;
            m_host.playSound(QStringLiteral("whiteflag2.wav"), 100, 50);
            s.WhiteFlagShown = true;
        }
        if (s.LapCount[leader] == s.RaceLaps && !s.CheckeredShown) {
            giveCheckeredFlag(QStringLiteral("checkeredflag.wav"));
            s.FinishDeadline = roundToLong(s.RaceClock + 1.5 * deadlineLap(leader));
            s.CheckeredShown = true;
        }
        finishPhase(QStringLiteral("Raceover.wav"));
        return;
    }
    const int64_t length = static_cast<int64_t>(s.RaceMinutes) * 60000;
    if (s.RaceClock >= length - 10000 && s.TenSecondWarned == 0) {
        s.TenSecondWarned = 1;
        m_host.playSound(QStringLiteral("10seconds.wav"), 100, 50);
    }
    if (s.RaceClock >= length && !s.CheckeredShown) {
        giveCheckeredFlag(QStringLiteral("CheckeredFlag.wav"));
        s.FinishDeadline = roundToLong(s.RaceClock + 1.9 * deadlineLap(leader) + 5000);
        s.CheckeredShown = true;
    }
    finishPhase(QStringLiteral("RaceOver.wav"));
}

void RaceEngine::finishPhase(const QString& endCue) {
    RaceState& s = m_state;
    int done = 0;
    if (s.CheckeredShown) {
        for (int f = 1; f <= kFlags; ++f) {
            if (s.LapCount[f] == s.FirstLapIndex || s.LapCount[f] >= s.FinishLap[f]) {
                ++done;
            }
        }
    }
    if (done != kFlags && s.RaceClock <= s.FinishDeadline) {
        return;
    }
    if (s.RaceOver != 0) {
        return;
    }
    s.RaceOver = 1;
    setTimer(false);
    s.RaceDateTime = formatRaceDateTime(m_host.now());
    m_host.playSound(endCue, 100, 50);
    s.screen.raceOverVisible = true;
    s.phase = RacePhase::Over;
    UpdateRaceScreen();
}

void RaceEngine::StartReset() {
    RaceState& s = m_state;
    for (s.FlagNo = 1; s.FlagNo <= kFlags; ++s.FlagNo) {
        const int f = s.FlagNo;
        s.LapCount[f] = s.FirstLapIndex;
        s.LastCrossing[f] = 0;
        s.LastCrossTime[f] = 0;
        s.ShownLapTime[f] = 0;
        s.LagBehind[f].clear();
        s.LagFirst[f].clear();
        s.FinishLap[f] = kMaxLap;
        // The flag's laps are counted afresh, so none of its sorted copy is in order yet.
        s.sortedUpTo[f] = 0;
        drawDemoParameters(f);
    }
    s.FinishDeadline = kNoDeadline;
    s.ResetBestLaps();
    s.RaceOver = 0;
    s.TenSecondWarned = 0;
    ComputePosition();
}

// ---------------------------------------------------------------- screen

QString RaceEngine::speedText(int f) const {
    if (m_state.LapCount[f] < 2 || m_state.ShownLapTime[f] <= 0) {
        return {};
    }
    const double speed =
        static_cast<double>(m_state.SpeedMultiplier) / (m_state.ShownLapTime[f] / 1000.0);
    return formatNumber(speed, u"0.0") + QLatin1Char(' ');
}

QString RaceEngine::medianText(int f) {
    if (m_state.LapCount[f] < 2) {
        return {};
    }
    subSortLapTimes();
    return m_state.MedianLap[f];
}

void RaceEngine::UpdateRaceScreen() {
    RaceState& s = m_state;
    ComputePosition();
    ComputeInterval();
    for (int f = 1; f <= kFlags; ++f) {
        ScreenRow& row = s.screen.row[s.Position[f]];
        row.flag = static_cast<int16_t>(f);
        row.colour = s.FlagColor[f];
        row.lapNum = s.LapCount[f] != s.FirstLapIndex ? QString::number(s.LapCount[f]) : QString();
        row.lapTime = s.isDisabled(f) ? QString() : screenLapTime(s.ShownLapTime[f]);

        switch (s.screen.bestColumn) {
            case BestColumn::BestLap:
                row.best = screenBestLap(s.BestLapTime[f]);
                break;
            case BestColumn::Mph:
                row.best = speedText(f);
                break;
            case BestColumn::Median:
                row.best = medianText(f);
                break;
        }
        switch (s.screen.lagColumn) {
            case LagColumn::LagBehind:
                row.lagTime = s.LapCount[f] < 1 ? QString() : s.LagBehind[f];
                break;
            case LagColumn::LagFirst:
                row.lagTime = s.LagFirst[f];
                break;
            case LagColumn::Median:
                row.lagTime = medianText(f);
                break;
        }
    }
}

void RaceEngine::UpdatePracticeScreen() {
    RaceState& s = m_state;
    for (int i = 1; i <= kFlags; ++i) {
        ScreenRow& row = s.screen.row[i];
        if (s.isDisabled(row.flag)) {
            row.lapTime.clear();
        } else if (s.LapCount[i] != s.FirstLapIndex) {
            row.lapNum = QString::number(s.LapCount[i]);
            row.lapTime = screenLapTime(s.ShownLapTime[i]);
        }
        row.lagTime = medianText(i);
        row.best = s.screen.bestColumn == BestColumn::BestLap ? screenBestLap(s.BestLapTime[i])
                                                              : speedText(i);
    }
}

void RaceEngine::refreshScreen() {
    if (m_state.IsPractice) {
        UpdatePracticeScreen();
    } else {
        UpdateRaceScreen();
    }
}

// ---------------------------------------------------------------- reset and title

void RaceEngine::LoadNames() {
    m_state.RacerName = m_host.loadRacerNames();
}

void RaceEngine::ShowRaceTitle() {
    RaceState& s = m_state;
    s.LagMode = m_host.readLagMode();
    if (s.IsPractice) {
        s.screen.windowCaption = QStringLiteral("Vx9 Timer - Practice");
        s.RaceTitle = QStringLiteral("Practice");
        s.screen.lagColumn = LagColumn::Median;
    } else {
        s.screen.windowCaption = QStringLiteral("Vx9 Timer - ") + QString::number(s.StartDelay) +
                                 QStringLiteral(" seconds delay before Formula 1 start - ") +
                                 shortestSingle(s.MinLapTime) +
                                 QStringLiteral(" seconds minimum lap time");
        s.screen.lagColumn = s.LagMode;
        if (s.IsLapRace) {
            s.RaceTitle = QString::number(s.RaceLaps) + QStringLiteral(" Lap Race");
        } else if (s.IsTimedRace) {
            s.RaceTitle = QString::number(s.RaceMinutes) + QStringLiteral(" Minute Race");
        }
    }
    if (s.Demo) {
        s.RaceTitle = QStringLiteral("Demo - ") + s.RaceTitle;
    }
    s.screen.raceFormat = s.RaceTitle;
}

void RaceEngine::ReSet() {
    RaceState& s = m_state;
    LoadNames();
    m_random.reseed();
    for (int r = 1; r <= kFlags; ++r) {
        // Idle, row r is flag r.
        ScreenRow& row = s.screen.row[r];
        row.flag = static_cast<int16_t>(r);
        row.lapTime.clear();
        row.lapNum.clear();
        row.best.clear();
        row.lagTime.clear();
        row.colour = s.FlagColor[r];
    }
    s.screen.raceOverVisible = false;
    s.CheckeredShown = false;
    s.WhiteFlagShown = false;
    s.screen.picture = kLogo;
    s.RaceClock = 0;
    s.screen.clock = QStringLiteral("00:00");
    m_clockSeconds = 0;
    s.phase = RacePhase::Idle;
    ShowRaceTitle();
}

// ---------------------------------------------------------------- race control

void RaceEngine::setTimer(bool running) {
    m_state.timerRunning = running;
    m_host.setTimerRunning(running);
}

void RaceEngine::cmdStart_Click(ReportSource* port) {
    RaceState& s = m_state;
    switch (s.phase) {
        case RacePhase::Idle: {
            // A refused start gives the organiser back the window as it was (still
            // idle), so the settings can still be changed (an unnamed lane disabled, say).
            const bool summaryUnsaved = s.SummaryUnsaved;
            const bool lapsUnsaved = s.LapsUnsaved;
            auto refuse = [&s, summaryUnsaved, lapsUnsaved]() {
                s.SummaryUnsaved = summaryUnsaved;
                s.LapsUnsaved = lapsUnsaved;
            };
            s.SummaryUnsaved = true;
            s.LapsUnsaved = true;
            for (int i = 1; i <= kFlags; ++i) {
                if (s.flagName(i).state == NameState::SelectName) {
                    m_prompter.inform(
                        kSelectName,
                        QStringLiteral("Please select name for Flag ") + QString::number(i),
                        Icon::None);
                    refuse();
                    return;
                }
            }
            s.RaceDateTime.clear();
            for (int i = 1; i <= kFlags - 1; ++i) {
                const FlagName a = s.flagName(i);
                if (a.state == NameState::Disabled || a.state == NameState::Empty) {
                    continue;
                }
                for (int j = i + 1; j <= kFlags; ++j) {
                    if (s.flagName(j) != a) {
                        continue;
                    }
                    const QString text = QStringLiteral("Warning, names in Flags ") +
                                         QString::number(i) + QStringLiteral(" and ") +
                                         QString::number(j) + QStringLiteral(" are the same") +
                                         kCrLf + QStringLiteral("Do you want to continue race?");
                    if (m_prompter.ask(QStringLiteral("Same Names"), text, Icon::Question, true) !=
                        Answer::Yes) {
                        refuse();
                        return;
                    }
                }
            }
            s.ClearLapTimes();
            s.ResetSortedLapTimesArray();
            StartReset();
            s.FlagPicture = kGreenFlag;
            m_host.raceStarting();
            if (s.IsPractice) {
                s.screen.picture = s.FlagPicture;
                s.phase = RacePhase::Racing;
                setTimer(true);
            } else {
                s.phase = RacePhase::Starting;
                m_host.runStartSequence(s.StartDelay >= 1);
            }
            return;
        }
        case RacePhase::Starting:
            return;  // the lights decide when the race runs
        case RacePhase::Racing:
            s.phase = RacePhase::Paused;
            s.screen.picture = QStringLiteral("YellowFlagblack.bmp");
            setTimer(false);
            return;
        case RacePhase::Paused:
            dropWaitingReports(port);
            s.phase = RacePhase::Racing;
            s.RaceOver = 0;
            s.screen.picture = s.FlagPicture;
            setTimer(true);
            return;
        case RacePhase::Over: {
            if (const auto question =
                    unsavedResultsQuestion(s, QStringLiteral("Do you want to Reset?"))) {
                // Yes gives up the results: Enter must not.
                if (m_prompter.ask(question->title, question->text, Icon::Exclamation, true) !=
                    Answer::Yes) {
                    return;
                }
                s.SummaryUnsaved = false;
                s.LapsUnsaved = false;
            }
            s.phase = RacePhase::Idle;
            ReSet();
            StartReset();
            s.ClearLapTimes();
            s.ResetSortedLapTimesArray();
            m_host.raceClosed();
            return;
        }
    }
}

void RaceEngine::dropWaitingReports(ReportSource* port) {
    // Demo mode reads no port.
    if (port == nullptr || m_state.Demo) {
        return;
    }
    QStringList dropped;
    while (port->hasInput()) {
        dropped << port->read();
    }
    if (!dropped.isEmpty()) {
        m_host.reportsDropped(m_state.RaceClock, dropped);
    }
}

void RaceEngine::cmdAbort_Click() {
    RaceState& s = m_state;
    // Abort belongs to a paused race.
    if (s.phase != RacePhase::Paused) {
        return;
    }
    if (s.RaceOver == 0) {
        const QString text = QStringLiteral("All Data will be lost") + kCrLf +
                             QStringLiteral("Are you sure you want to abort?");
        if (m_prompter.ask(QStringLiteral("Abort"), text, Icon::Question, true) != Answer::Yes) {
            return;
        }
    }
    s.phase = RacePhase::Idle;
    s.screen.picture = kLogo;
    s.LapsUnsaved = false;
    s.SummaryUnsaved = false;
    ReSet();
    s.RaceOver = 0;
    m_host.raceClosed();
}

void RaceEngine::greenLight(ReportSource* portToFlush) {
    RaceState& s = m_state;
    // Crossings before the green light are not counted.
    if (portToFlush != nullptr) {
        while (portToFlush->hasInput()) {
            s.PortInput = portToFlush->read();
        }
    }
    s.screen.picture = s.FlagPicture;
    setTimer(true);
}

void RaceEngine::startSequenceClosed() {
    m_state.phase = RacePhase::Racing;
}

void RaceEngine::Form_KeyDown(int keyCode) {
    if (keyCode == 115) {
        lblLag_Click();
    } else if (keyCode == 116) {
        lblBestLap_Click();
    } else if (keyCode >= 49 && keyCode <= 54) {
        lblBest_Click(keyCode - 48);
    } else if (keyCode >= 97 && keyCode <= 102) {
        lblBest_Click(keyCode - 96);
    }
}

void RaceEngine::lblBestLap_Click() {
    RaceState& s = m_state;
    m_host.closeNamePickers();
    BestColumn& column = s.screen.bestColumn;
    if (s.IsPractice) {
        column = column == BestColumn::BestLap ? BestColumn::Mph : BestColumn::BestLap;
    } else if (column == BestColumn::BestLap) {
        column = BestColumn::Mph;
    } else if (column == BestColumn::Mph) {
        column = BestColumn::Median;
    } else {
        column = BestColumn::BestLap;
    }
    // Idle (or under the start lights) only the heading changes.
    if (s.phase != RacePhase::Idle && s.phase != RacePhase::Starting) {
        refreshScreen();
    }
}

void RaceEngine::lblLag_Click() {
    RaceState& s = m_state;
    m_host.closeNamePickers();
    if (!s.IsPractice) {
        LagColumn& column = s.screen.lagColumn;
        if (column == LagColumn::LagBehind) {
            column = LagColumn::LagFirst;
        } else if (column == LagColumn::LagFirst) {
            column = LagColumn::Median;
        } else {
            column = LagColumn::LagBehind;
        }
    }
    // Idle (or under the start lights) only the heading changes.
    if (s.phase != RacePhase::Idle && s.phase != RacePhase::Starting) {
        refreshScreen();
    }
}

void RaceEngine::lblBest_Click(int row) {
    RaceState& s = m_state;
    if (row < 1 || row > kFlags) {
        return;
    }
    const BestColumn column = s.screen.bestColumn;
    if (s.IsPractice && column == BestColumn::BestLap) {
        s.BestLapTime[row] = kNoBestLap;
        s.screen.row[row].best.clear();
    }
    if (column == BestColumn::BestLap) {
        const int f = s.RunningOrder[row];
        if (f >= 1 && f <= kFlags && s.timerRunning) {
            s.BestLapTime[f] = kNoBestLap;
            s.screen.row[row].best.clear();
            m_host.beep();
        }
    }
}

}  // namespace lapdeck
