#include "RaceRecovery.h"

#include <memory>

#include <QDir>
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
    // A race cut short was stopped, not finished.
    sc.picture = s.CheckeredShown ? QStringLiteral("CheckeredFlagblack.bmp")
                                  : QStringLiteral("YellowFlagblack.bmp");
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

}  // namespace

std::optional<QString> loadRecordedRace(const RaceRecord& race, RaceState& state) {
    if (auto problem = rescoreRecordedRace(race.folder, race.journal(), state)) {
        return problem;
    }
    showAsOver(state, QFileInfo(race.journal()).lastModified());
    return std::nullopt;
}

bool offerRecovery(const RaceArchive& archive, Prompter& prompter, RaceState& recovered) {
    for (const RaceRecord& race : archive.races()) {
        if (race.end != RaceEnd::Unfinished) {
            continue;
        }
        const QString text = QStringLiteral("Lapdeck stopped during the race that started ") +
                             startText(race) + QStringLiteral(".") + kCrLf +
                             QStringLiteral("Its laps were kept. Do you want to recover it?");
        if (prompter.ask(kTitle, text, Icon::Question, false) != Answer::Yes) {
            noteEnd(race, RaceEnd::NotRecovered, prompter,
                    QStringLiteral("Lapdeck cannot note your answer, so it will ask again next "
                                   "time."));
            continue;
        }
        // A race that cannot be re-scored leaves nothing behind in the next attempt.
        auto fresh = std::make_unique<RaceState>();
        if (const auto problem = loadRecordedRace(race, *fresh)) {
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
        recovered = std::move(*fresh);
        return true;
    }
    return false;
}

}  // namespace lapdeck
