#include "MarshalDesk.h"

#include <QKeyEvent>
#include <QRegularExpression>

#include "LapChecks.h"
#include "RaceArchive.h"
#include "RaceEngine.h"
#include "RaceState.h"

namespace lapdeck {
namespace {

const QString kYellowFlag = QStringLiteral("YellowFlagblack.bmp");
const QString kCheckeredFlag = QStringLiteral("CheckeredFlagblack.bmp");

// The flag of a digit key whatever the modifiers made of it: Shift turns the digits
// into the layout's symbols, so the key's place on the keyboard decides as well.
int flagOfKey(const QKeyEvent& event) {
    const int key = event.key();
    if (key >= Qt::Key_1 && key <= Qt::Key_6) {
        return key - Qt::Key_0;
    }
    // X11 key codes of the digit row's 1 to 6.
    const quint32 scan = event.nativeScanCode();
    if (scan >= 10 && scan <= 15) {
        return static_cast<int>(scan) - 9;
    }
    const QString shifted = QStringLiteral("!@#$%^");
    const int i = event.text().isEmpty() ? -1 : static_cast<int>(shifted.indexOf(event.text()[0]));
    return i >= 0 ? i + 1 : 0;
}

// Moves what the re-scoring cannot know from the race on screen to the re-scored one:
// where the race stands, the screen's column choices, the demo generator.
void carryOver(const RaceState& from, RaceState& to) {
    to.phase = from.phase;
    to.timerRunning = from.timerRunning;
    to.Demo = from.Demo;
    to.DemoNextLap = from.DemoNextLap;
    to.DemoLapSpread = from.DemoLapSpread;
    to.DemoLapBase = from.DemoLapBase;
    to.DemoCrashChance = from.DemoCrashChance;
    to.screen.bestColumn = from.screen.bestColumn;
    to.screen.lagColumn = from.screen.lagColumn;
    to.SortByLapTime = from.SortByLapTime;
    to.RaceDateTime = from.RaceDateTime;
    // The corrected results are not the ones saved before.
    to.LapsUnsaved = !from.IsPractice;
    to.SummaryUnsaved = !from.IsPractice;
    switch (from.phase) {
        case RacePhase::Over:
            // Over stays over, however the corrected race would have ended.
            to.RaceOver = 1;
            to.screen.raceOverVisible = !to.IsPractice;
            to.screen.picture = kCheckeredFlag;
            break;
        case RacePhase::Paused:
            to.RaceOver = 0;
            to.screen.picture = kYellowFlag;
            break;
        default:
            to.screen.picture = to.FlagPicture;
            break;
    }
}

}  // namespace

MarshalDesk::MarshalDesk(RaceState& state, RaceEngine& engine, std::function<QString()> raceFolder,
                         QObject* parent)
    : QObject(parent), m_state(state), m_engine(engine), m_raceFolder(std::move(raceFolder)) {}

MarshalDesk::~MarshalDesk() = default;

bool MarshalDesk::isOpen() const {
    return (m_state.phase == RacePhase::Paused || m_state.phase == RacePhase::Over) &&
           !m_raceFolder().isEmpty();
}

std::optional<QString> MarshalDesk::load() {
    const QString folder = m_raceFolder();
    if (folder.isEmpty()) {
        return QStringLiteral("This race has no record to correct.");
    }
    if (const auto cut = RaceArchive::endMark(folder).journalCutAt) {
        return QStringLiteral("The journal of this race ends early, at race time ") +
               raceTimeText(*cut) + QStringLiteral(": its laps cannot be corrected from it.");
    }
    // The journal grows while the race runs: read it every time.
    return m_record.load(folder);
}

// A race over runs to its end, as recovery does; a race paused or running runs to
// where it stands.
std::optional<QString> MarshalDesk::scoreInto(RaceState& state) {
    m_log = CrossingLog{};
    return m_state.phase == RacePhase::Over
               ? m_record.rescore(state, &m_log)
               : m_record.rescoreUntil(state, m_state.RaceClock, &m_log);
}

std::optional<QString> MarshalDesk::refresh() {
    if (auto problem = load()) {
        return problem;
    }
    auto scratch = std::make_unique<RaceState>();
    return scoreInto(*scratch);
}

std::optional<QString> MarshalDesk::rescore() {
    auto fresh = std::make_unique<RaceState>();
    if (auto problem = scoreInto(*fresh)) {
        return problem;
    }
    carryOver(m_state, *fresh);
    m_state = std::move(*fresh);
    m_engine.refreshScreen();
    emit changed();
    return std::nullopt;
}

const std::vector<Correction>& MarshalDesk::changes() const {
    return m_record.changes();
}

std::vector<bool> MarshalDesk::inForce() const {
    return lapdeck::changesInForce(m_record.changes());
}

int MarshalDesk::changesInForce() const {
    return m_record.changesInForceCount();
}

bool MarshalDesk::canUndo() const {
    return m_record.canUndo();
}

bool MarshalDesk::canRedo() const {
    return m_record.canRedo();
}

QString MarshalDesk::correctedText() const {
    const int n = changesInForce();
    return n == 0 ? QString() : lapdeck::correctedText(n);
}

QStringList MarshalDesk::changeLines() const {
    return correctionsListing(m_record.changes());
}

std::optional<QString> MarshalDesk::make(std::vector<Correction> changes) {
    if (auto problem = load()) {
        return problem;
    }
    for (Correction& change : changes) {
        if (auto refused = m_record.make(std::move(change))) {
            // Those made before it stay on the record: the race shows them.
            rescore();
            return refused;
        }
    }
    return rescore();
}

std::optional<QString> MarshalDesk::readRecord() {
    return load();
}

namespace {

Correction changeOf(CorrectionKind kind, int32_t clock, int flag, const QString& reason,
                    int to = 0) {
    Correction c;
    c.kind = kind;
    c.clock = clock;
    c.flag = flag;
    c.to = to;
    c.reason = reason;
    return c;
}

QString noLap(int flag, int lap) {
    return QStringLiteral("Flag %1 has no lap %2 to correct.").arg(flag).arg(lap);
}

}  // namespace

std::optional<int32_t> MarshalDesk::lapEnd(int flag, int lap) const {
    // Lap 0 (a first crossing counted as lap 0) is logged as ending no lap.
    return lap >= 1 ? lapEndClock(m_log, flag, lap) : std::nullopt;
}

std::optional<int32_t> MarshalDesk::lapStart(int flag, int lap) const {
    return lapEnd(flag, lap) ? lapEndClock(m_log, flag, lap - 1) : std::nullopt;
}

std::optional<QString> MarshalDesk::splitLap(int flag, int lap, int parts, const QString& reason) {
    const auto start = lapStart(flag, lap);
    const auto end = lapEnd(flag, lap);
    if (!start || !end || parts < 2) {
        return noLap(flag, lap);
    }
    std::vector<Correction> adds = lapdeck::splitLap(flag, *start, *end, parts);
    for (Correction& add : adds) {
        add.reason = reason;
    }
    return make(std::move(adds));
}

std::optional<QString> MarshalDesk::voidLap(int flag, int lap, const QString& reason) {
    const auto end = lapEnd(flag, lap);
    if (!end) {
        return noLap(flag, lap);
    }
    return make({changeOf(CorrectionKind::Void, *end, flag, reason)});
}

std::optional<QString> MarshalDesk::giveLap(int flag, int lap, int to, const QString& reason) {
    const auto end = lapEnd(flag, lap);
    if (!end) {
        return noLap(flag, lap);
    }
    return make({changeOf(CorrectionKind::Move, *end, flag, reason, to)});
}

std::optional<QString> MarshalDesk::addCrossing(int flag, int32_t clock, const QString& reason) {
    return make({changeOf(CorrectionKind::Add, clock, flag, reason)});
}

std::optional<int32_t> MarshalDesk::crossingBefore(const LoggedCrossing& dropped) const {
    std::optional<int32_t> before;
    for (const LoggedCrossing& c : m_log.crossings) {
        if (c.clock > dropped.clock) {
            break;
        }
        if (c.flag == dropped.flag && c.lap != 0 && c.clock <= dropped.clock) {
            before = c.clock;
        }
    }
    return before;
}

std::optional<QString> MarshalDesk::countDropped(const LoggedCrossing& dropped,
                                                 const QString& reason) {
    const auto before = crossingBefore(dropped);
    if (!before) {
        return QStringLiteral("No counted crossing of flag %1 comes before it.").arg(dropped.flag);
    }
    return make({changeOf(CorrectionKind::Void, *before, dropped.flag, reason)});
}

std::optional<QString> MarshalDesk::giveCrossing(const LoggedCrossing& crossing, int to,
                                                 const QString& reason) {
    return make({changeOf(CorrectionKind::Move, crossing.clock, crossing.flag, reason, to)});
}

std::optional<QString> MarshalDesk::undo() {
    if (auto problem = load()) {
        return problem;
    }
    if (auto refused = m_record.undo()) {
        return refused;
    }
    return rescore();
}

std::optional<QString> MarshalDesk::redo() {
    if (auto problem = load()) {
        return problem;
    }
    if (auto refused = m_record.redo()) {
        return refused;
    }
    return rescore();
}

bool MarshalDesk::handleKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::ShiftModifier && mods != Qt::ControlModifier) {
        return false;
    }
    const int flag = flagOfKey(event);
    if (flag == 0 || m_state.IsPractice ||
        (m_state.phase != RacePhase::Racing && m_state.phase != RacePhase::Paused)) {
        return false;
    }
    const auto problem = mods == Qt::ShiftModifier ? missedLapNow(flag) : voidLastCrossing(flag);
    if (problem) {
        emit refused(*problem);
    }
    return true;
}

std::optional<QString> MarshalDesk::missedLapNow(int flag) {
    if (auto problem = load()) {
        return problem;
    }
    if (auto refused = m_record.make(changeOf(CorrectionKind::Add, m_state.RaceClock, flag, {}))) {
        return refused;
    }
    // The added line is the journal's last: counting it now is what its replay does.
    m_engine.handleReport(QString::number(flag));
    emit changed();
    return std::nullopt;
}

std::optional<QString> MarshalDesk::voidLastCrossing(int flag) {
    if (flag < 1 || flag > kFlags || m_state.LapCount[flag] == m_state.FirstLapIndex) {
        return QStringLiteral("Flag %1 has no crossing to void.").arg(flag);
    }
    return make({changeOf(CorrectionKind::Void, m_state.LastCrossing[flag], flag, {})});
}

std::optional<int32_t> parseRaceTime(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(?:(?:(\d{1,3}):)?(\d{1,5}):)?(\d{1,7})(?:\.(\d{1,3}))?\s*$)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    const bool hours = !m.captured(1).isEmpty();
    const bool minutes = !m.captured(2).isEmpty();
    const int64_t h = m.captured(1).toLongLong();
    const int64_t min = m.captured(2).toLongLong();
    const int64_t sec = m.captured(3).toLongLong();
    // Below the largest unit each part stays under 60, as the desk writes them.
    if ((minutes && sec >= 60) || (hours && min >= 60)) {
        return std::nullopt;
    }
    const int64_t clock =
        ((h * 60 + min) * 60 + sec) * 1000 + m.captured(4).leftJustified(3, u'0').toLongLong();
    if (clock > 2147483647) {
        return std::nullopt;
    }
    return static_cast<int32_t>(clock);
}

}  // namespace lapdeck
