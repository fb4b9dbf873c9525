#include "Corrections.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "FieldReader.h"
#include "RaceArchive.h"
#include "RaceJournal.h"
#include "RaceRecovery.h"
#include "RecordedRace.h"
#include "ReplayRun.h"
#include "ReportParser.h"
#include "TextFile.h"

namespace lapdeck {
namespace {

const QString kWhenFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
// A record of hand-made changes is small; a file this large is not one.
constexpr qint64 kMaxCorrectionsBytes = qint64{16} << 20;

QString actionWord(CorrectionKind kind) {
    switch (kind) {
        case CorrectionKind::Add:
            return QStringLiteral("add");
        case CorrectionKind::Void:
            return QStringLiteral("void");
        case CorrectionKind::Move:
            return QStringLiteral("move");
        case CorrectionKind::Undo:
            return QStringLiteral("undo");
    }
    return {};
}

std::optional<CorrectionKind> kindOf(const QString& word) {
    for (CorrectionKind kind :
         {CorrectionKind::Add, CorrectionKind::Void, CorrectionKind::Move, CorrectionKind::Undo}) {
        if (word == actionWord(kind)) {
            return kind;
        }
    }
    return std::nullopt;
}

// The flag a report reads as, as the race reads it; 0 for none.
int flagOf(QByteArrayView report) {
    if (report.size() == 1) {
        const char c = report.front();
        return c >= '1' && c <= '6' ? c - '0' : 0;
    }
    const int flag = parseReport(QString::fromLatin1(report));
    return flag >= 1 && flag <= kFlags ? flag : 0;
}

// Position of the change numbered `number` in a record whose numbers increase.
std::optional<size_t> positionOf(const std::vector<Correction>& changes, int number) {
    const auto it =
        std::lower_bound(changes.begin(), changes.end(), number,
                         [](const Correction& change, int n) { return change.number < n; });
    if (it == changes.end() || it->number != number) {
        return std::nullopt;
    }
    return static_cast<size_t>(it - changes.begin());
}

// A reason as one line holds it: control characters (a line break, a tab) are blanks.
QString oneLine(QString text) {
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

// A vector of journal entries as a stream.
class EntriesSource : public JournalSource {
public:
    explicit EntriesSource(const std::vector<JournalEntry>& entries) : m_entries(entries) {}
    bool next() override {
        if (m_pos >= m_entries.size()) {
            return false;
        }
        m_clock = m_entries[m_pos].clock;
        m_text = m_entries[m_pos].text.toLatin1();
        ++m_pos;
        return true;
    }
    int32_t clock() const override { return m_clock; }
    QByteArrayView text() const override { return m_text; }

private:
    const std::vector<JournalEntry>& m_entries;
    size_t m_pos = 0;
    int32_t m_clock = 0;
    QByteArray m_text;
};

QString readProblem(const QString& path, const JournalError& error) {
    if (error.line == 0) {
        return QStringLiteral("%1: %2").arg(path, error.message);
    }
    return QStringLiteral("%1, line %2: %3").arg(path, QString::number(error.line), error.message);
}

}  // namespace

// ------------------------------------------------------------------ the file

QString correctionLine(const Correction& change) {
    QStringList fields = {QString::number(change.number), change.when.toString(kWhenFormat),
                          actionWord(change.kind)};
    if (change.kind == CorrectionKind::Undo) {
        fields << QString::number(change.target);
    } else {
        fields << QString::number(change.clock) << QString::number(change.flag);
        if (change.kind == CorrectionKind::Move) {
            fields << QString::number(change.to);
        }
    }
    fields << QLatin1Char('"') + oneLine(change.reason) + QLatin1Char('"');
    return fields.join(QLatin1Char(','));
}

std::optional<Correction> parseCorrectionLine(const QString& line, QString* why) {
    auto fail = [why](const QString& reason) -> std::optional<Correction> {
        if (why != nullptr) {
            *why = reason;
        }
        return std::nullopt;
    };
    // The reason runs from the first double quote to the last: it may hold quotes.
    const qsizetype open = line.indexOf(QLatin1Char('"'));
    const qsizetype close = line.lastIndexOf(QLatin1Char('"'));
    if (open < 0 || close == open) {
        return fail(QStringLiteral("the reason in double quotes is missing"));
    }
    if (!line.sliced(close + 1).trimmed().isEmpty()) {
        return fail(QStringLiteral("there is more after the reason"));
    }
    QString fields = line.first(open).trimmed();
    if (!fields.endsWith(QLatin1Char(','))) {
        return fail(QStringLiteral("the reason is not a field of its own"));
    }
    fields.chop(1);
    FieldReader reader(QString(), fields.toUtf8());
    Correction change;
    change.reason = oneLine(line.sliced(open + 1, close - open - 1));
    const auto number = reader.readInt32();
    const auto when = reader.readText();
    const auto action = reader.readText();
    if (!number || !when || !action) {
        return fail(reader.error()->reason);
    }
    change.number = *number;
    if (change.number < 1) {
        return fail(QStringLiteral("the change number must be 1 or more"));
    }
    change.when = QDateTime::fromString(*when, kWhenFormat);
    if (!change.when.isValid()) {
        return fail(QStringLiteral("\"%1\" is not a time written yyyy-MM-dd HH:mm:ss").arg(*when));
    }
    const auto kind = kindOf(*action);
    if (!kind) {
        return fail(QStringLiteral("\"%1\" is not add, void, move or undo").arg(*action));
    }
    change.kind = *kind;
    auto readFlag = [&reader]() -> std::optional<int> {
        const auto flag = reader.readInt32();
        if (flag && (*flag < 1 || *flag > kFlags)) {
            reader.failLastField(QStringLiteral("%1 is not a flag from 1 to 6").arg(*flag));
            return std::nullopt;
        }
        return flag;
    };
    if (change.kind == CorrectionKind::Undo) {
        const auto target = reader.readInt32();
        if (target) {
            change.target = *target;
        }
    } else {
        const auto clock = reader.readInt32();
        if (clock && *clock < 0) {
            reader.failLastField(QStringLiteral("a race clock is never negative"));
        }
        const auto flag = readFlag();
        if (clock && flag) {
            change.clock = *clock;
            change.flag = *flag;
        }
        if (change.kind == CorrectionKind::Move) {
            const auto to = readFlag();
            if (to) {
                change.to = *to;
            }
        }
    }
    if (reader.error()) {
        return fail(reader.error()->reason);
    }
    if (!reader.atEnd()) {
        return fail(QStringLiteral("there are more fields than %1 takes").arg(*action));
    }
    if (change.kind == CorrectionKind::Move && change.to == change.flag) {
        return fail(QStringLiteral("a move gives the crossing to the flag it already is"));
    }
    return change;
}

std::vector<bool> changesInForce(const std::vector<Correction>& changes) {
    // An undo counts only while it is in force itself, and it always takes back an
    // earlier change: going from the last change to the first settles each in turn.
    std::vector<bool> inForce(changes.size(), true);
    for (size_t i = changes.size(); i-- > 0;) {
        if (!inForce[i] || changes[i].kind != CorrectionKind::Undo) {
            continue;
        }
        const auto target = positionOf(changes, changes[i].target);
        if (target && *target < i) {
            inForce[*target] = false;
        }
    }
    return inForce;
}

CorrectionsRead readCorrections(const QString& path) {
    CorrectionsRead read;
    if (!QFileInfo::exists(path)) {
        return read;
    }
    const FileRead file = readWholeFile(path, kMaxCorrectionsBytes);
    if (file.error) {
        read.error = QStringLiteral("%1: cannot be read: %2").arg(path, *file.error);
        return read;
    }
    const QString text = decodeText(file.bytes);
    const QStringList lines = QString(text)
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                  .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                                  .split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty()) {
            continue;
        }
        ++read.lines;
        QString why;
        auto change = parseCorrectionLine(lines[i], &why);
        if (change && !read.changes.empty() && change->number <= read.changes.back().number) {
            change.reset();
            why = QStringLiteral("change %1 does not follow change %2")
                      .arg(lines[i].section(QLatin1Char(','), 0, 0).trimmed(),
                           QString::number(read.changes.back().number));
        }
        if (change && change->kind == CorrectionKind::Undo &&
            !positionOf(read.changes, change->target)) {
            why =
                QStringLiteral("there is no change %1 before it to take back").arg(change->target);
            change.reset();
        }
        if (!change) {
            read.skipped << QStringLiteral("%1, line %2: %3; the line is skipped")
                                .arg(path, QString::number(i + 1), why);
            continue;
        }
        read.changes.push_back(*change);
    }
    return read;
}

std::optional<QString> appendCorrection(const QString& path, const Correction& change) {
    QByteArray line = correctionLine(change).toUtf8() + "\r\n";
    if (QFileInfo::exists(path)) {
        const FileRead existing = readWholeFile(path, kMaxCorrectionsBytes);
        if (existing.error) {
            return QStringLiteral("%1: cannot be read: %2").arg(path, *existing.error);
        }
        // A line left open by a hand edit must not swallow this one.
        if (!existing.bytes.isEmpty() && !existing.bytes.endsWith('\n')) {
            line.prepend("\r\n");
        }
        // A file in an older encoding is written whole in UTF-8 with the new line.
        if (!isValidUtf8(existing.bytes)) {
            line.prepend(decodeText(existing.bytes).toUtf8());
            if (auto problem = writeWholeFile(path, line)) {
                return QStringLiteral("%1: cannot be written: %2").arg(path, *problem);
            }
            return std::nullopt;
        }
    }
    RaceJournal file;
    auto problem = file.open(path);
    if (!problem) {
        problem = file.appendLine(line);
        file.close();
    }
    if (problem) {
        return QStringLiteral("%1: cannot be written: %2").arg(path, *problem);
    }
    return std::nullopt;
}

// ------------------------------------------------------------------ the corrected stream

CorrectedJournal::CorrectedJournal(JournalSource& journal, const std::vector<Correction>& changes)
    : m_in(journal) {
    const std::vector<bool> inForce = changesInForce(changes);
    for (size_t i = 0; i < changes.size(); ++i) {
        if (inForce[i] && changes[i].kind != CorrectionKind::Undo) {
            m_changes.push_back(changes[i]);
        }
    }
    // Changes at one clock keep the order of N: only they touch the same reports.
    std::stable_sort(m_changes.begin(), m_changes.end(),
                     [](const Correction& a, const Correction& b) { return a.clock < b.clock; });
}

void CorrectedJournal::applyGroup(int32_t clock) {
    while (m_nextChange < m_changes.size() && m_changes[m_nextChange].clock == clock) {
        const Correction& change = m_changes[m_nextChange++];
        if (change.kind == CorrectionKind::Add) {
            m_group.push_back(QByteArray::number(change.flag));
            m_applied.push_back(change.number);
            continue;
        }
        const auto found = std::find_if(m_group.begin(), m_group.end(), [&](const QByteArray& r) {
            return flagOf(r) == change.flag;
        });
        if (found == m_group.end()) {
            m_refused << correctionWords::kSkipped.arg(QString::number(change.number),
                                                       QString::number(change.flag),
                                                       correctionClockText(clock));
            m_refusedNumbers.push_back(change.number);
            continue;
        }
        if (change.kind == CorrectionKind::Void) {
            m_group.erase(found);
        } else {
            *found = QByteArray::number(change.to);
        }
        m_applied.push_back(change.number);
    }
}

bool CorrectedJournal::next() {
    if (!m_started) {
        m_started = true;
        m_inWaiting = m_in.next();
    } else if (m_passing) {
        m_passing = false;
        m_inWaiting = m_in.next();
    }
    constexpr int64_t kNone = INT64_MAX;
    while (true) {
        if (m_groupPos < m_group.size()) {
            m_text = m_group[m_groupPos++];
            return true;
        }
        const int64_t inClock = m_inWaiting ? m_in.clock() : kNone;
        const int64_t changeClock =
            m_nextChange < m_changes.size() ? m_changes[m_nextChange].clock : kNone;
        if (inClock == kNone && changeClock == kNone) {
            m_text = {};
            return false;
        }
        if (inClock < changeClock) {
            m_clock = m_in.clock();
            m_text = m_in.text();
            m_passing = true;
            return true;
        }
        // The reports of a changed clock are held while its changes are applied.
        m_clock = static_cast<int32_t>(changeClock);
        m_group.clear();
        m_groupPos = 0;
        while (m_inWaiting && m_in.clock() == m_clock) {
            m_group.emplace_back(m_in.text().toByteArray());
            m_inWaiting = m_in.next();
        }
        applyGroup(m_clock);
    }
}

std::vector<JournalEntry> effectiveJournal(std::vector<JournalEntry> entries,
                                           const std::vector<Correction>& changes,
                                           QStringList* refused) {
    EntriesSource source(entries);
    CorrectedJournal corrected(source, changes);
    std::vector<JournalEntry> out;
    out.reserve(entries.size());
    while (corrected.next()) {
        out.push_back({corrected.clock(), corrected.textString()});
    }
    if (refused != nullptr) {
        *refused = corrected.refused();
    }
    return out;
}

std::vector<Correction> splitLap(int flag, int32_t from, int32_t to, int parts) {
    std::vector<Correction> adds;
    for (int i = 1; i < parts; ++i) {
        Correction add;
        add.kind = CorrectionKind::Add;
        add.flag = flag;
        add.clock = static_cast<int32_t>(from + (int64_t{to} - from) * i / parts);
        adds.push_back(add);
    }
    return adds;
}

// ------------------------------------------------------------------ words

QString correctionClockText(int32_t clock) {
    const int32_t ms = std::max(clock, 0);
    const int32_t seconds = ms / 1000;
    const QString tail = QStringLiteral("%1.%2")
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                             .arg(ms % 1000, 3, 10, QLatin1Char('0'));
    if (seconds < 3600) {
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(tail);
    }
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(tail);
}

QString describeCorrection(const Correction& change, const std::vector<Correction>& changes) {
    using namespace correctionWords;
    const QString at = correctionClockText(change.clock);
    switch (change.kind) {
        case CorrectionKind::Add:
            return kAdded.arg(QString::number(change.flag), at);
        case CorrectionKind::Void:
            return kVoided.arg(QString::number(change.flag), at);
        case CorrectionKind::Move:
            return kMoved.arg(QString::number(change.flag), at, QString::number(change.to));
        case CorrectionKind::Undo:
            break;
    }
    const auto target = positionOf(changes, change.target);
    if (target && changes[*target].kind == CorrectionKind::Undo) {
        return kPutBack.arg(changes[*target].target);
    }
    return kTookBack.arg(change.target);
}

QString correctedText(int changesInForce) {
    return changesInForce == 1 ? correctionWords::kCorrectedOne
                               : correctionWords::kCorrected.arg(changesInForce);
}

QStringList correctionsListing(const std::vector<Correction>& changes) {
    QStringList lines;
    const std::vector<bool> inForce = changesInForce(changes);
    for (size_t i = 0; i < changes.size(); ++i) {
        const Correction& change = changes[i];
        QString line = QStringLiteral("%1  %2  %3")
                           .arg(QString::number(change.number), change.when.toString(kWhenFormat),
                                describeCorrection(change, changes));
        if (!change.reason.isEmpty()) {
            line += QStringLiteral(" (") + change.reason + QLatin1Char(')');
        }
        if (!inForce[i]) {
            line += QStringLiteral(" - ") + correctionWords::kTakenBack;
        }
        lines << line;
    }
    return lines;
}

// ------------------------------------------------------------------ the desk's model

std::optional<QString> RaceCorrections::load(const QString& raceFolder) {
    m_folder = raceFolder;
    m_journal.clear();
    m_changes.clear();
    m_notes.clear();
    m_lines = 0;
    const QString journalPath = RaceArchive::record(raceFolder).journal();
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("%1: cannot be read: %2").arg(journalPath, file.errorString());
    }
    JournalReader reader(file);
    // Only crossings can be changed, and an old journal may hold millions of lines of
    // noise: the rest is left to the re-scoring, which streams the file.
    while (reader.next()) {
        if (readsAsFlag(reader.text())) {
            m_journal.push_back({reader.clock(), reader.textString()});
        }
    }
    if (reader.error()) {
        m_journal.clear();
        return readProblem(journalPath, *reader.error());
    }
    CorrectionsRead read = readCorrections(path());
    if (read.error) {
        return read.error;
    }
    m_changes = std::move(read.changes);
    m_lines = read.lines;
    m_notes = read.skipped;
    refresh();
    for (const QString& refused : m_refused) {
        m_notes << path() + QStringLiteral(": ") + refused;
    }
    return std::nullopt;
}

QString RaceCorrections::path() const {
    return QDir(m_folder).filePath(kCorrectionsFile);
}

void RaceCorrections::refresh() {
    EntriesSource source(m_journal);
    CorrectedJournal corrected(source, m_changes);
    m_effective.clear();
    m_effective.reserve(m_journal.size());
    while (corrected.next()) {
        m_effective.push_back({corrected.clock(), corrected.textString()});
    }
    m_refused = corrected.refused();
    m_appliedCount = static_cast<int>(corrected.applied().size());
}

std::optional<QString> RaceCorrections::record(Correction change, const QDateTime& now) {
    change.number = std::max(m_changes.empty() ? 0 : m_changes.back().number, m_lines) + 1;
    const QDateTime when = now.isValid() ? now : QDateTime::currentDateTime();
    // The file keeps whole seconds: what is held must be what is read back.
    change.when = QDateTime::fromString(when.toString(kWhenFormat), kWhenFormat);

    std::vector<Correction> candidate = m_changes;
    candidate.push_back(change);
    EntriesSource source(m_journal);
    CorrectedJournal corrected(source, candidate);
    while (corrected.next()) {
    }
    const std::vector<int>& refusedNow = corrected.refusedNumbers();
    EntriesSource before(m_journal);
    CorrectedJournal old(before, m_changes);
    while (old.next()) {
    }
    for (int number : refusedNow) {
        const auto& was = old.refusedNumbers();
        if (std::find(was.begin(), was.end(), number) != was.end()) {
            continue;
        }
        if (number == change.number) {
            return correctionWords::kNoCrossing.arg(QString::number(change.flag),
                                                    correctionClockText(change.clock));
        }
        const Correction& other = m_changes[*positionOf(m_changes, number)];
        return correctionWords::kWouldStrand.arg(
            QString::number(number),
            correctionWords::kNoCrossing.arg(QString::number(other.flag),
                                             correctionClockText(other.clock)));
    }
    if (auto problem = appendCorrection(path(), change)) {
        return problem;
    }
    m_changes.push_back(change);
    m_lines = std::max(m_lines, change.number);
    refresh();
    return std::nullopt;
}

std::optional<QString> RaceCorrections::make(Correction change, const QDateTime& now) {
    if (change.kind == CorrectionKind::Undo) {
        const auto target = positionOf(m_changes, change.target);
        if (!target || !changesInForce(m_changes)[*target]) {
            return correctionWords::kNothingToUndo;
        }
    } else if (change.flag < 1 || change.flag > kFlags || change.clock < 0 ||
               (change.kind == CorrectionKind::Move &&
                (change.to < 1 || change.to > kFlags || change.to == change.flag))) {
        return correctionWords::kNotAChange;
    }
    return record(std::move(change), now);
}

std::optional<QString> RaceCorrections::undo(const QString& reason, const QDateTime& now) {
    const int target = undoTarget();
    if (target == 0) {
        return correctionWords::kNothingToUndo;
    }
    Correction change;
    change.kind = CorrectionKind::Undo;
    change.target = target;
    change.reason = reason;
    return record(std::move(change), now);
}

std::optional<QString> RaceCorrections::redo(const QString& reason, const QDateTime& now) {
    const int target = redoTarget();
    if (target == 0) {
        return correctionWords::kNothingToRedo;
    }
    Correction change;
    change.kind = CorrectionKind::Undo;
    change.target = target;
    change.reason = reason;
    return record(std::move(change), now);
}

int RaceCorrections::undoTarget() const {
    const std::vector<bool> inForce = changesInForce(m_changes);
    for (size_t i = m_changes.size(); i-- > 0;) {
        if (inForce[i] && m_changes[i].kind != CorrectionKind::Undo) {
            return m_changes[i].number;
        }
    }
    return 0;
}

int RaceCorrections::redoTarget() const {
    // Taking back the undo in force that took back a change puts that change back.
    const std::vector<bool> inForce = changesInForce(m_changes);
    for (size_t i = m_changes.size(); i-- > 0;) {
        if (!inForce[i] || m_changes[i].kind != CorrectionKind::Undo) {
            continue;
        }
        const auto target = positionOf(m_changes, m_changes[i].target);
        if (target && m_changes[*target].kind != CorrectionKind::Undo) {
            return m_changes[i].number;
        }
    }
    return 0;
}

std::optional<QString> RaceCorrections::rescore(RaceState& state, CrossingLog* crossings) const {
    RescoreExtras extras;
    extras.changes = &m_changes;
    extras.crossings = crossings;
    return loadRecordedRace(RaceArchive::record(m_folder), state, {}, extras);
}

std::optional<QString> RaceCorrections::rescoreUntil(RaceState& state, int32_t until,
                                                     CrossingLog* crossings) const {
    RescoreExtras extras;
    extras.changes = &m_changes;
    extras.crossings = crossings;
    extras.until = until;
    return rescoreRecordedRace(m_folder, RaceArchive::record(m_folder).journal(), state, {},
                               extras);
}

}  // namespace lapdeck
