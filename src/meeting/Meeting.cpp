#include "Meeting.h"

#include <algorithm>
#include <set>

#include "FieldWriter.h"
#include "ProgramFiles.h"
#include "RaceState.h"
#include "ValueLists.h"

namespace lapdeck {
namespace {

QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// A name goes into the meeting file as a quoted field and onto a flag as a name
// cell's caption, so it must read back the same in both.
std::optional<QString> checkName(const QString& name, const QString& what) {
    if (name.trimmed().isEmpty()) {
        return QStringLiteral("A %1 needs a name.").arg(what);
    }
    if (name != name.trimmed()) {
        return QStringLiteral("The %1 %2 begins or ends with a blank.").arg(what, quoted(name));
    }
    for (QChar c : name) {
        if (c == u'"' || c.category() == QChar::Other_Control) {
            return QStringLiteral("The %1 %2 holds a double quote or a control character.")
                .arg(what, quoted(name));
        }
    }
    return std::nullopt;
}

std::optional<QString> checkRacerName(const QString& name) {
    // Before the checks that quote the name: a long one would flood the message.
    if (name.size() > kMaxNameLength) {
        return QStringLiteral("A racer's name may be at most %1 characters; this one has %2.")
            .arg(kMaxNameLength)
            .arg(name.size());
    }
    if (auto problem = checkName(name, QStringLiteral("racer"))) {
        return problem;
    }
    // The captions race control reads as "nobody on this flag".
    for (const QString& caption : {captions::kEmpty, captions::kSelectName, captions::kDisabled}) {
        if (name.compare(caption, Qt::CaseInsensitive) == 0) {
            return QStringLiteral(
                       "%1 cannot be a racer's name: the race screen uses it for a "
                       "flag without a racer.")
                .arg(quoted(name));
        }
    }
    return std::nullopt;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

Entry* entryOf(Meeting& meeting, const QString& name, const QString& className) {
    return const_cast<Entry*>(std::as_const(meeting).findEntry(name, className));
}

HeatRun* runOf(Meeting& meeting, int id) {
    return const_cast<HeatRun*>(std::as_const(meeting).findRun(id));
}

std::optional<QString> checkSeats(const std::vector<Seat>& seats, const QString& title) {
    if (seats.empty() || seats.size() > static_cast<size_t>(kFlags)) {
        return QStringLiteral("%1 has %2 racers; a heat has 1 to %3.")
            .arg(title, QString::number(seats.size()), QString::number(kFlags));
    }
    std::set<int> flags;
    QStringList names;
    for (const Seat& seat : seats) {
        if (seat.flag < 1 || seat.flag > kFlags || !flags.insert(seat.flag).second) {
            return QStringLiteral(
                       "%1 puts two racers on flag %2, or uses a flag that does not "
                       "exist.")
                .arg(title, QString::number(seat.flag));
        }
        if (auto problem = checkRacerName(seat.name)) {
            return title + QStringLiteral(": ") + *problem;
        }
        if (names.contains(seat.name, Qt::CaseInsensitive)) {
            return QStringLiteral("%1 has %2 twice.").arg(title, quoted(seat.name));
        }
        names.append(seat.name);
    }
    return std::nullopt;
}

std::optional<QString> checkResults(const HeatRun& run, const QString& title) {
    if (run.status == RunStatus::Running) {
        return run.results.empty() ? std::nullopt
                                   : std::optional<QString>(
                                         title + QStringLiteral(" is running but has a result."));
    }
    if (run.results.size() != run.seats.size()) {
        return QStringLiteral("%1 has %2 racers but %3 result lines.")
            .arg(title, QString::number(run.seats.size()), QString::number(run.results.size()));
    }
    for (size_t i = 1; i < run.results.size(); ++i) {
        if (finishesAhead(run.results[i], run.results[i - 1])) {
            return QStringLiteral("%1: the results are not in finishing order.").arg(title);
        }
    }
    std::set<int> flags;
    for (const RacerResult& r : run.results) {
        const bool seated = std::any_of(run.seats.begin(), run.seats.end(),
                                        [&r](const Seat& s) { return s.name == r.name; });
        if (!seated) {
            return QStringLiteral("%1 has a result for %2, who was not in it.")
                .arg(title, quoted(r.name));
        }
        if (r.flag < 1 || r.flag > kFlags || !flags.insert(r.flag).second) {
            return QStringLiteral("%1 has two results on flag %2, or a flag that does not exist.")
                .arg(title, QString::number(r.flag));
        }
        if (r.laps < -1 || r.laps > kMaxLap || r.timeMs < 0 || r.bestLapMs < 1 ||
            r.bestLapMs > kNoBestLap) {
            return QStringLiteral("%1: the laps or times of %2 are out of range.")
                .arg(title, quoted(r.name));
        }
    }
    for (const Seat& seat : run.seats) {
        const auto count =
            std::count_if(run.results.begin(), run.results.end(),
                          [&seat](const RacerResult& r) { return r.name == seat.name; });
        if (count != 1) {
            return QStringLiteral("%1 has no single result for %2.").arg(title, quoted(seat.name));
        }
    }
    return std::nullopt;
}

std::optional<QString> checkRun(const Meeting& meeting, const HeatRun& run) {
    const QString title = QStringLiteral("Run %1 (%2)").arg(run.id).arg(heatTitle(run.key));
    if (!meeting.findClass(run.key.className)) {
        return QStringLiteral("%1 is of the class %2, which the meeting does not have.")
            .arg(title, quoted(run.key.className));
    }
    const bool roundOk = run.key.round >= 1 && run.key.round <= meeting.rounds;
    const bool mainOk = run.key.isMain() && run.key.number <= meeting.mains;
    if ((!roundOk && !mainOk) || run.key.number < 1) {
        return QStringLiteral("%1 is outside the meeting's %2 rounds and %3 mains.")
            .arg(title, QString::number(meeting.rounds), QString::number(meeting.mains));
    }
    if (run.raceFolder != FieldWriter::storable(run.raceFolder)) {
        return QStringLiteral(
                   "%1: the race folder's name holds a double quote or a control "
                   "character.")
            .arg(title);
    }
    if (auto problem = checkSeats(run.seats, title)) {
        return problem;
    }
    return checkResults(run, title);
}

}  // namespace

QString mainLetter(int level) {
    return level >= 1 && level <= 26 ? QString(QChar(u'A' + level - 1)) : QStringLiteral("?");
}

QString heatTitle(const HeatKey& key) {
    if (key.isMain()) {
        return QStringLiteral("%1 %2 main").arg(key.className, mainLetter(key.number));
    }
    return QStringLiteral("%1 round %2 heat %3").arg(key.className).arg(key.round).arg(key.number);
}

bool finishesAhead(const RacerResult& a, const RacerResult& b) {
    if (a.laps != b.laps) {
        return a.laps > b.laps;
    }
    return a.timeMs < b.timeMs;
}

const MeetingClass* Meeting::findClass(const QString& className) const {
    for (const MeetingClass& c : classes) {
        if (c.name == className) {
            return &c;
        }
    }
    return nullptr;
}

const Entry* Meeting::findEntry(const QString& racer, const QString& className) const {
    for (const Entry& e : entries) {
        if (e.name == racer && e.className == className) {
            return &e;
        }
    }
    return nullptr;
}

const HeatRun* Meeting::findRun(int id) const {
    for (const HeatRun& run : runs) {
        if (run.id == id) {
            return &run;
        }
    }
    return nullptr;
}

const HeatRun* Meeting::runningRun() const {
    for (const HeatRun& run : runs) {
        if (run.status == RunStatus::Running) {
            return &run;
        }
    }
    return nullptr;
}

const HeatRun* Meeting::countingRun(const HeatKey& key) const {
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        if (it->key == key && it->status != RunStatus::Replaced) {
            return &*it;
        }
    }
    return nullptr;
}

QStringList Meeting::entryNames(const QString& className, bool withWithdrawn) const {
    QStringList names;
    for (const Entry& e : entries) {
        if (e.className == className && (withWithdrawn || !e.withdrawn)) {
            names.append(e.name);
        }
    }
    return names;
}

std::optional<QString> checkLength(const RaceLength& length) {
    const QStringList& list = length.timed ? ValueLists::minuteCounts() : ValueLists::lapCounts();
    if (ValueLists::positionOf(list, QString::number(length.value)) < 0) {
        return QStringLiteral("%1 %2 is not offered by Race Format.")
            .arg(QString::number(length.value),
                 length.timed ? QStringLiteral("minutes") : QStringLiteral("laps"));
    }
    return std::nullopt;
}

std::optional<QString> checkMeeting(const Meeting& m) {
    if (auto problem = checkName(m.name, QStringLiteral("meeting"))) {
        return problem;
    }
    if (!m.date.isValid()) {
        return QStringLiteral("The meeting has no valid date.");
    }
    if (m.rounds < 1 || m.rounds > kMaxRounds) {
        return QStringLiteral("A meeting has 1 to %1 qualifying rounds.").arg(kMaxRounds);
    }
    if (m.countedRounds < 1 || m.countedRounds > m.rounds) {
        return QStringLiteral("The points of 1 to %1 rounds can count.").arg(m.rounds);
    }
    if (m.mains < 0 || m.mains > kMaxMains || m.bumpUps < 0 || m.bumpUps > kMaxBumpUps) {
        return QStringLiteral("A meeting has 0 to %1 mains and 0 to %2 bump-ups.")
            .arg(kMaxMains)
            .arg(kMaxBumpUps);
    }
    for (size_t i = 0; i < m.classes.size(); ++i) {
        const MeetingClass& c = m.classes[i];
        if (auto problem = checkName(c.name, QStringLiteral("class"))) {
            return problem;
        }
        for (size_t j = 0; j < i; ++j) {
            if (sameName(m.classes[j].name, c.name)) {
                return QStringLiteral("The class %1 is there twice.").arg(quoted(c.name));
            }
        }
        if (auto problem = checkLength(c.length)) {
            return c.name + QStringLiteral(": ") + *problem;
        }
    }
    for (size_t i = 0; i < m.entries.size(); ++i) {
        const Entry& e = m.entries[i];
        if (auto problem = checkRacerName(e.name)) {
            return problem;
        }
        if (!m.findClass(e.className)) {
            return QStringLiteral("%1 is entered in the class %2, which the meeting does not have.")
                .arg(quoted(e.name), quoted(e.className));
        }
        for (size_t j = 0; j < i; ++j) {
            if (sameName(m.entries[j].name, e.name) && m.entries[j].className == e.className) {
                return QStringLiteral("%1 is entered twice in %2.")
                    .arg(quoted(e.name), e.className);
            }
        }
    }
    std::set<int> ids;
    for (const HeatRun& run : m.runs) {
        if (run.id < 1 || !ids.insert(run.id).second) {
            return QStringLiteral("Run number %1 is used twice or is not above 0.").arg(run.id);
        }
        if (auto problem = checkRun(m, run)) {
            return problem;
        }
        if (run.status != RunStatus::Replaced && m.countingRun(run.key) != &run) {
            return QStringLiteral(
                       "%1 has two runs that count; all but the last must be marked "
                       "replaced.")
                .arg(heatTitle(run.key));
        }
        if (run.status == RunStatus::Running && m.runningRun() != &run) {
            return QStringLiteral("Two heats are marked running.");
        }
    }
    return std::nullopt;
}

std::optional<QString> addClass(Meeting& meeting, const MeetingClass& meetingClass) {
    Meeting changed = meeting;
    changed.classes.push_back(meetingClass);
    if (auto problem = checkMeeting(changed)) {
        return problem;
    }
    meeting = std::move(changed);
    return std::nullopt;
}

std::optional<QString> addEntry(Meeting& meeting, const QString& name, const QString& className) {
    if (Entry* e = entryOf(meeting, name, className)) {
        if (!e->withdrawn) {
            return QStringLiteral("%1 is already entered in %2.").arg(quoted(name), className);
        }
        e->withdrawn = false;
        return std::nullopt;
    }
    Meeting changed = meeting;
    changed.entries.push_back(Entry{name, className, false});
    if (auto problem = checkMeeting(changed)) {
        return problem;
    }
    meeting = std::move(changed);
    return std::nullopt;
}

std::optional<QString> withdrawEntry(Meeting& meeting, const QString& name,
                                     const QString& className) {
    Entry* e = entryOf(meeting, name, className);
    if (!e || e->withdrawn) {
        return QStringLiteral("%1 is not entered in %2.").arg(quoted(name), className);
    }
    e->withdrawn = true;
    return std::nullopt;
}

std::optional<QString> moveEntry(Meeting& meeting, const QString& name, const QString& fromClass,
                                 const QString& toClass) {
    const Entry* from = meeting.findEntry(name, fromClass);
    if (!from || from->withdrawn) {
        return QStringLiteral("%1 is not entered in %2.").arg(quoted(name), fromClass);
    }
    if (!meeting.findClass(toClass)) {
        return QStringLiteral("The meeting has no class %1.").arg(quoted(toClass));
    }
    if (const Entry* to = meeting.findEntry(name, toClass); to && !to->withdrawn) {
        return QStringLiteral("%1 is already entered in %2.").arg(quoted(name), toClass);
    }
    meeting.entries.erase(meeting.entries.begin() + (from - meeting.entries.data()));
    if (Entry* to = entryOf(meeting, name, toClass)) {
        to->withdrawn = false;  // back in a class left earlier
    } else {
        meeting.entries.push_back(Entry{name, toClass, false});
    }
    return std::nullopt;
}

std::variant<int, QString> startHeat(Meeting& meeting, const HeatKey& key,
                                     const std::vector<Seat>& seats, const QString& raceFolder) {
    if (const HeatRun* running = meeting.runningRun()) {
        return QStringLiteral("%1 is still running.").arg(heatTitle(running->key));
    }
    if (const HeatRun* counting = meeting.countingRun(key)) {
        return QStringLiteral("%1 has been run; re-run it to run it again.")
            .arg(heatTitle(counting->key));
    }
    int id = 1;
    for (const HeatRun& run : meeting.runs) {
        id = std::max(id, run.id + 1);
    }
    Meeting changed = meeting;
    changed.runs.push_back(HeatRun{id, key, RunStatus::Running, raceFolder, seats, {}});
    if (auto problem = checkRun(changed, changed.runs.back())) {
        return *problem;
    }
    meeting = std::move(changed);
    return id;
}

std::optional<QString> finishHeat(Meeting& meeting, int runId, std::vector<RacerResult> results) {
    HeatRun* run = runOf(meeting, runId);
    if (!run || run->status != RunStatus::Running) {
        return QStringLiteral("Run %1 is not running.").arg(runId);
    }
    // Equal results keep flag order, as the standings do.
    std::sort(results.begin(), results.end(), [](const RacerResult& a, const RacerResult& b) {
        return finishesAhead(a, b) || (!finishesAhead(b, a) && a.flag < b.flag);
    });
    HeatRun done = *run;
    done.status = RunStatus::Done;
    done.results = std::move(results);
    if (auto problem = checkResults(done, heatTitle(done.key))) {
        return problem;
    }
    *run = std::move(done);
    return std::nullopt;
}

std::optional<QString> abandonHeat(Meeting& meeting, int runId) {
    const HeatRun* run = meeting.findRun(runId);
    if (!run || run->status != RunStatus::Running) {
        return QStringLiteral("Run %1 is not running.").arg(runId);
    }
    meeting.runs.erase(meeting.runs.begin() + (run - meeting.runs.data()));
    return std::nullopt;
}

std::optional<QString> rerunHeat(Meeting& meeting, const HeatKey& key) {
    const HeatRun* counting = meeting.countingRun(key);
    if (!counting || counting->status != RunStatus::Done) {
        return QStringLiteral("%1 has no result to run again.").arg(heatTitle(key));
    }
    runOf(meeting, counting->id)->status = RunStatus::Replaced;
    return std::nullopt;
}

}  // namespace lapdeck
