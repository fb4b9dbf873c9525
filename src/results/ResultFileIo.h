#pragma once

#include <optional>
#include <variant>

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "LapFile.h"
#include "RaceState.h"
#include "RaceSummary.h"
#include "ResultGrid.h"
#include "SummaryFile.h"

namespace lapdeck {

// Result files above this size are refused unread: a lap file of 3001 full rows is
// far smaller, and reading an arbitrary large file whole would only exhaust memory.
inline constexpr qint64 kMaxResultFileBytes = 16 * 1024 * 1024;

// Save dialogs.
inline constexpr char16_t kSaveLapsTitle[] = u"Save Laps File";
inline constexpr char16_t kSaveLapsFilter[] = u"Lap Files (*.lap)|*.lap|Text Files(*.txt)|*.txt";
inline constexpr char16_t kSaveSummaryTitle[] = u"Save Summary File";
inline constexpr char16_t kSaveSummaryFilter[] =
    u"Summary Files (*.sum)|*.sum|Text File(*.txt)|*.txt";
// Files saved without an extension by earlier versions are found under the last type.
inline constexpr char16_t kOpenFilter[] =
    u"Lap Files (*.lap)|*.lap|Summary Files(*.sum)|*.sum|Text Files(*.txt)|*.txt|"
    u"All Files (*)|*";

// A chosen name holding ".txt" (exactly, lower case, anywhere) is written as text.
bool writesTextForm(const QString& fileName);

enum class OpenKind {
    Nothing,  // an empty name: nothing to open
    Shell,    // ".txt": handed to the system's default application
    LapFile,
    SummaryFile,
};
// By the name alone: a lap file when the full name holds "lap" (folders included),
// else a summary file. Only where the content cannot tell.
OpenKind openKindFor(const QString& fileName);
// By the content: the lap format's "Laps" heading, or the summary format's "Flag",
// "Name" and "Color" headings, on the lines where each format writes them. Nothing
// when the first lines (`kKindLines` of them) show neither.
inline constexpr int kKindLines = 17;
std::optional<OpenKind> resultKindOf(const QStringList& firstLines);

// Sets RaceDateTime to `now` ("Dec-05, 16-07") when no race end has set it.
void ensureRaceDateTime(RaceState& state, const QDateTime& now);
// The save dialogs' proposed names, with the extension of the type they show first:
// "<folder>/Laps <RaceDateTime>.lap" and "<folder>/Summary <RaceDateTime>.sum".
QString proposedLapFileName(const QString& folder, const QString& raceDateTime);
QString proposedSummaryFileName(const QString& folder, const QString& raceDateTime);

// "File <name> has been saved", titled "File Saved".
ResultMessage savedMessage(const QString& fileName);

// Writes the whole file to a temporary file and renames it into place, so a failure
// never leaves half a file. Returns the message to show when it failed.
std::optional<ResultMessage> writeFileAtomically(const QString& fileName, const QByteArray& bytes);

// What a save leaves to show, in order (a notice, then the saved message; or the
// error alone), and whether the file was written.
struct SaveReport {
    bool saved = false;
    std::vector<ResultMessage> messages;
};

// Saves the lap table shown: the text form from the race state when the name holds
// ".txt", else the header line and grid in the lap format. Clears LapsUnsaved when
// written.
SaveReport saveLapTable(RaceState& state, const QString& headerLine, const ResultGrid& grid,
                        const QString& fileName);

// Saves the summary: the text form from the race state (recomputing `stats`) when the
// name holds ".txt", else the race title and grid in the summary format. Clears
// SummaryUnsaved when written.
SaveReport saveSummary(RaceState& state, SummaryStats& stats, const ResultGrid& grid,
                       const QString& fileName);

// What the Open command found in a chosen file.
struct OpenedResult {
    OpenKind kind = OpenKind::Nothing;
    QString fileName;  // the window's caption
    std::optional<LapFileContent> laps;
    std::optional<SummaryFileContent> summary;
};
// Reads a chosen file as the kind its content shows (its name's where the content
// cannot tell), a line at a time; Shell and Nothing read no file. A file over
// kMaxResultFileBytes, or with a cell over 1,000 characters, is refused.
Expected<OpenedResult> openResultFile(const QString& fileName);

}  // namespace lapdeck
