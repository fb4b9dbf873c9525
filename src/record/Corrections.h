#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "Journal.h"
#include "RaceState.h"

namespace lapdeck {

// What the marshal decided about the journal. The journal itself is never
// rewritten: a race's changes are a second, append-only record beside it
// (corrections.txt in the race folder), one change a line:
//   N,WHEN,add,CLOCK,FLAG,"REASON"       flag FLAG crossed at CLOCK, the unit missed it
//   N,WHEN,void,CLOCK,FLAG,"REASON"      the crossing read as FLAG at CLOCK does not count
//   N,WHEN,move,CLOCK,FLAG,TO,"REASON"   the crossing read as FLAG at CLOCK was flag TO's
//   N,WHEN,undo,M,"REASON"               change M is taken back (an undo of an undo puts M back)
enum class CorrectionKind { Add, Void, Move, Undo };

struct Correction {
    int number = 0;  // N: 1, 2, 3, ... in the order made
    QDateTime when;  // local time, written yyyy-MM-dd HH:mm:ss
    CorrectionKind kind = CorrectionKind::Add;
    int32_t clock = 0;  // race clock in ms (add, void, move)
    int flag = 0;       // 1..6 (add, void, move)
    int to = 0;         // move: the flag the crossing was
    int target = 0;     // undo: the M taken back
    QString reason;

    bool operator==(const Correction&) const = default;
};

inline const QString kCorrectionsFile = QStringLiteral("corrections.txt");

// The line as written to corrections.txt, without its line end. The reason is the
// last field and ends at the line's last double quote, so quotes inside it need no
// escape and read back as they were; line breaks in it become blanks.
QString correctionLine(const Correction& change);
// One line back; nullopt and `why` for a line that is not a change.
std::optional<Correction> parseCorrectionLine(const QString& line, QString* why = nullptr);

// Index number-1: whether each change is in force once every undo is counted.
// Changes are numbered 1..n in order (as read and as made).
std::vector<bool> changesInForce(const std::vector<Correction>& changes);

struct CorrectionsRead {
    std::vector<Correction> changes;
    QStringList skipped;           // one message per bad line, naming the file and line
    std::optional<QString> error;  // the file exists but cannot be read
    int lines = 0;                 // lines that are not blank, good or bad
};
// A missing file is an empty record. A bad line is skipped and named in `skipped`;
// so is a change whose number is out of order or an undo of a change not before it.
CorrectionsRead readCorrections(const QString& path);

// Appends one change to the file (created when missing), handed to the operating
// system at once, as the journal is. Returns why not; a failed write leaves the
// file as it was.
std::optional<QString> appendCorrection(const QString& path, const Correction& change);

// The journal as the marshal's record makes it: a stream over `journal` with every
// change in force applied in the order of N. `add` inserts "CLOCK,FLAG" after the
// last report whose clock is at most CLOCK; `void` drops the first report at CLOCK
// that reads as FLAG (as a port read parses it); `move` rewrites that report to TO.
// A change that finds no report is left out and named in refused(). Only the
// reports at the clocks of changes are held, so a journal of any length streams.
class CorrectedJournal : public JournalSource {
public:
    // `journal` outlives this and has not been read yet.
    CorrectedJournal(JournalSource& journal, const std::vector<Correction>& changes);

    bool next() override;
    int32_t clock() const override { return m_clock; }
    QByteArrayView text() const override { return m_text; }

    // Known once the reading has passed the change's clock (all of them at the end).
    const QStringList& refused() const { return m_refused; }
    // The numbers of the changes that were applied, in the order of their clocks.
    const std::vector<int>& applied() const { return m_applied; }
    const std::vector<int>& refusedNumbers() const { return m_refusedNumbers; }

private:
    void applyGroup(int32_t clock);

    JournalSource& m_in;
    std::vector<Correction> m_changes;  // in force, not undo, by clock then N
    size_t m_nextChange = 0;
    bool m_started = false;
    bool m_inWaiting = false;  // m_in holds a report not yet passed on
    bool m_passing = false;    // the current report is m_in's own
    std::vector<QByteArray> m_group;
    size_t m_groupPos = 0;
    int32_t m_clock = 0;
    QByteArrayView m_text;
    QStringList m_refused;
    std::vector<int> m_applied;
    std::vector<int> m_refusedNumbers;
};

// The journal with every change in force applied in the order of N, through
// CorrectedJournal. A change that finds no line is left out and named in *refused.
std::vector<JournalEntry> effectiveJournal(std::vector<JournalEntry> entries,
                                           const std::vector<Correction>& changes,
                                           QStringList* refused = nullptr);

// Splitting flag `flag`'s lap from race clock `from` to `to` into `parts` laps: the
// parts - 1 missed crossings, spaced equally (whole ms, rounded down), as adds.
std::vector<Correction> splitLap(int flag, int32_t from, int32_t to, int parts);

// ------------------------------------------------------------------ words
// The words for a change, in the "Changes" list and at the end of printouts.
namespace correctionWords {
inline const QString kAdded = QStringLiteral("Added a crossing of flag %1 at %2");
inline const QString kVoided = QStringLiteral("Voided the crossing of flag %1 at %2");
inline const QString kMoved = QStringLiteral("Gave the crossing of flag %1 at %2 to flag %3");
inline const QString kTookBack = QStringLiteral("Took back change %1");
inline const QString kPutBack = QStringLiteral("Put back change %1");
inline const QString kCorrected = QStringLiteral("Corrected: %1 changes");
inline const QString kCorrectedOne = QStringLiteral("Corrected: 1 change");
inline const QString kChangesTitle = QStringLiteral("Changes");
inline const QString kTakenBack = QStringLiteral("taken back");
inline const QString kNoCrossing = QStringLiteral("There is no crossing read as flag %1 at %2.");
inline const QString kSkipped =
    QStringLiteral("change %1 finds no crossing read as flag %2 at %3: skipped");
inline const QString kWouldStrand =
    QStringLiteral("Change %1 would then find its crossing no more: %2");
inline const QString kNotAChange =
    QStringLiteral("A change needs a flag from 1 to 6, a race time, and for a move another flag.");
inline const QString kNothingToUndo = QStringLiteral("There is no change to take back.");
inline const QString kNothingToRedo = QStringLiteral("There is no change to put back.");
}  // namespace correctionWords

// A race clock as the marshal sees it: "1:02.345", "1:02:03.456" from an hour on.
QString correctionClockText(int32_t clock);
// "Added a crossing of flag 3 at 1:02.345", "Took back change 2" ... An undo of an
// undo is told as putting the first change back, so `changes` (the whole record)
// is needed for undos; without it an undo reads "Took back change M".
QString describeCorrection(const Correction& change, const std::vector<Correction>& changes = {});
// "Corrected: n changes" (1 change).
QString correctedText(int changesInForce);
// The list that ends a corrected race's printouts: one line per change, "N  WHEN
// WHAT (REASON)", taken-back ones marked. Empty for a race without changes.
QStringList correctionsListing(const std::vector<Correction>& changes);

// ------------------------------------------------------------------ the desk's model

struct CrossingLog;

// The desk's model of one race folder's record (journal + corrections.txt).
class RaceCorrections {
public:
    // Reads the race folder's journal and corrections.txt. Returns why not (the
    // journal cannot be read); bad lines of corrections.txt are in notes().
    std::optional<QString> load(const QString& raceFolder);

    const QString& folder() const { return m_folder; }
    const std::vector<Correction>& changes() const { return m_changes; }
    // Bad lines and changes that found no crossing when the record was read.
    const QStringList& notes() const { return m_notes; }
    std::vector<bool> inForce() const { return changesInForce(m_changes); }
    // Changes to the journal (add, void, move) in force and applied: "Corrected: n changes".
    int changesInForceCount() const { return m_appliedCount; }
    // corrections.txt in the race folder.
    QString path() const;

    // Checks the change against the effective journal, appends it to the file
    // (handed to the OS at once) and returns nullopt; or returns why it was refused
    // (no such line, a write error) and changes nothing. Number and time are filled
    // in here (the time from `now` when given, for tests).
    std::optional<QString> make(Correction change, const QDateTime& now = {});
    std::optional<QString> undo(const QString& reason = {}, const QDateTime& now = {});
    std::optional<QString> redo(const QString& reason = {}, const QDateTime& now = {});
    bool canUndo() const { return undoTarget() != 0; }
    bool canRedo() const { return redoTarget() != 0; }

    // The journal's crossings (reports that read as a flag: nothing else can be
    // changed or count a lap), as recorded and as corrected.
    const std::vector<JournalEntry>& journal() const { return m_journal; }
    const std::vector<JournalEntry>& effective() const { return m_effective; }

    // Re-scores the corrected race into `state` through the one re-scoring code
    // (the race folder's data files and journal), as recovery and Open Race do.
    // `crossings` (optional) is told which crossing ended which lap.
    std::optional<QString> rescore(RaceState& state, CrossingLog* crossings = nullptr) const;
    // The same for a race paused (or running) at race clock `until`: re-scored up to
    // there and left as it stands, not shown as over.
    std::optional<QString> rescoreUntil(RaceState& state, int32_t until,
                                        CrossingLog* crossings = nullptr) const;

private:
    int undoTarget() const;  // the latest change in force that an undo would take back
    int redoTarget() const;  // the latest undo in force whose taking back puts a change back
    std::optional<QString> record(Correction change, const QDateTime& now);
    void refresh();

    QString m_folder;
    std::vector<JournalEntry> m_journal;
    std::vector<Correction> m_changes;
    QStringList m_notes;
    int m_lines = 0;
    std::vector<JournalEntry> m_effective;
    QStringList m_refused;
    int m_appliedCount = 0;
};

}  // namespace lapdeck
