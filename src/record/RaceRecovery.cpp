#include "RaceRecovery.h"

#include <memory>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "NumberFormat.h"
#include "RecordedRace.h"
#include "ScreenTexts.h"

namespace lapdeck {
namespace {

using captions::kCrLf;

const QString kTitle = QStringLiteral("Recover Race");

QString startText(const RaceRecord& race) {
    return race.started.isValid()
               ? race.started.toString(QStringLiteral("'on' yyyy-MM-dd 'at' HH:mm"))
               : QStringLiteral("in ") + QDir::toNativeSeparators(race.folder);
}

void showAsOver(RaceState& s, const QDateTime& ended) {
    // The end stamp is when the race ran, not when it was re-scored.
    s.RaceDateTime = formatRaceDateTime(ended);
    s.RaceOver = 1;
    s.phase = RacePhase::Over;
    s.timerRunning = false;
    s.LapsUnsaved = true;
    s.SummaryUnsaved = true;
    RaceScreen& sc = s.screen;
    sc.raceOverVisible = !s.IsPractice;
    // The race is over, however it ended: a yellow flag would say it is paused.
    sc.picture = QStringLiteral("CheckeredFlagblack.bmp");
}

// Marks the race; a mark that cannot be written is told with what follows from it.
void noteEnd(const RaceRecord& race, RaceEnd end, Prompter& prompter, const QString& otherwise) {
    if (const auto failure = RaceArchive::markEnded(race.folder, end)) {
        prompter.inform(kTitle,
                        otherwise + kCrLf + QDir::toNativeSeparators(failure->path) +
                            QStringLiteral(": ") + failure->reason,
                        Icon::Exclamation);
    }
}

// Whether the journal holds a report that could have counted a lap. A journal that
// cannot be read says yes: the attempt to recover it tells what is wrong.
bool holdsACrossing(const RaceRecord& race) {
    QFile file(race.journal());
    if (!file.open(QIODevice::ReadOnly)) {
        return true;
    }
    JournalReader journal(file);
    while (journal.next()) {
        if (readsAsFlag(journal.text())) {
            return true;
        }
    }
    return journal.error().has_value();
}

}  // namespace

QString journalCutText(const RaceRecord& race) {
    if (!race.journalCutAt) {
        return {};
    }
    return QStringLiteral("Its journal ends early, at race time ") +
           raceTimeText(*race.journalCutAt) +
           QStringLiteral(
               ": from there on it could not be written (a full disk, say), so the "
               "laps after that are missing. Results saved while the race ran are "
               "the ones to trust.");
}

std::optional<QString> loadRecordedRace(const RaceRecord& race, RaceState& state,
                                        const ReadProgress& progress, QStringList* notes) {
    if (auto problem = rescoreRaceFolder(race.folder, state, progress, notes)) {
        return problem;
    }
    showAsOver(state, QFileInfo(race.journal()).lastModified());
    return std::nullopt;
}

std::optional<QString> loadRecordedRace(const RaceRecord& race, RaceState& state,
                                        const ReadProgress& progress, const RescoreExtras& extras) {
    if (auto problem = rescoreRecordedRace(race.folder, race.journal(), state, progress, extras)) {
        return problem;
    }
    showAsOver(state, QFileInfo(race.journal()).lastModified());
    return std::nullopt;
}

bool offerRecovery(const RaceArchive& archive, Prompter& prompter, RaceState& recovered,
                   const ReadProgress& progress) {
    for (const RaceRecord& race : archive.races()) {
        if (race.end != RaceEnd::Unfinished) {
            continue;
        }
        if (!holdsACrossing(race)) {
            // Killed during the start lights, say: kept in the archive, never asked about.
            // A mark that cannot be written costs nothing: the next start passes it over too.
            RaceArchive::markEnded(race.folder, RaceEnd::NoCrossings);
            continue;
        }
        const QString cut = journalCutText(race);
        const QString text =
            QStringLiteral("Lapdeck stopped during the race that started ") + startText(race) +
            QStringLiteral(".") + kCrLf +
            (cut.isEmpty()
                 ? QStringLiteral("Its laps were kept. Do you want to recover it?")
                 : cut + kCrLf + QStringLiteral("Do you want to recover what the journal holds?"));
        if (prompter.ask(kTitle, text, Icon::Question, false) != Answer::Yes) {
            noteEnd(race, RaceEnd::NotRecovered, prompter,
                    QStringLiteral("Lapdeck cannot note your answer, so it will ask again next "
                                   "time."));
            continue;
        }
        // A race that cannot be re-scored leaves nothing behind in the next attempt.
        auto fresh = std::make_unique<RaceState>();
        QStringList notes;
        if (const auto problem = loadRecordedRace(race, *fresh, progress, &notes)) {
            // A journal that cannot be re-scored now never can be: do not ask again.
            RaceArchive::markEnded(race.folder, RaceEnd::NotRecovered);
            prompter.inform(kTitle,
                            QStringLiteral("The race cannot be recovered.") + kCrLf + *problem +
                                kCrLf + QStringLiteral("Its folder is kept: ") +
                                QDir::toNativeSeparators(race.folder),
                            Icon::Exclamation);
            continue;
        }
        noteEnd(race, RaceEnd::Recovered, prompter,
                QStringLiteral("The race is recovered, but Lapdeck cannot note it, so it will "
                               "ask again next time."));
        if (!notes.isEmpty()) {
            prompter.inform(kTitle,
                            QStringLiteral("The race is recovered, but some of its corrections "
                                           "are skipped:") +
                                kCrLf + notes.join(kCrLf),
                            Icon::Exclamation);
        }
        recovered = std::move(*fresh);
        return true;
    }
    return false;
}

}  // namespace lapdeck
