#include "Replay.h"

#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "ConfigStore.h"
#include "Journal.h"
#include "ProgramFiles.h"
#include "RaceEngine.h"
#include "RaceResultFiles.h"
#include "RaceSummary.h"
#include "ReplayRun.h"
#include "TextFile.h"

namespace lapdeck {
namespace {

// A recorded race was run by an organiser who went on past every question.
class ReplayPrompter : public Prompter {
public:
    QStringList messages;
    Answer ask(const QString&, const QString&, Icon, bool) override { return Answer::Yes; }
    void inform(const QString& title, const QString& text, Icon) override {
        messages << (title.isEmpty() ? text : title + QStringLiteral(": ") + text);
    }
};

// The demo generator never runs in a replay: the journal holds every report.
class NoRandom : public RandomSource {
public:
    double next() override { return 0.0; }
};

class ReplayHost : public RaceHost {
public:
    ReplayHost(const ConfigBundle& config) : m_config(config) {}
    RaceEngine* engine = nullptr;

    // The lights go green the moment they are asked for: race clock 0 is the green light.
    void runStartSequence(bool) override {
        engine->greenLight(nullptr);
        engine->startSequenceClosed();
    }
    PerFlag<QString> loadRacerNames() override { return m_config.racerNames; }
    QString readLagMode() override { return m_config.lagMode; }

private:
    const ConfigBundle& m_config;
};

// A journal of the longest race is a few hundred kilobytes; anything near this
// is not a journal.
constexpr qint64 kMaxJournalBytes = 64 * 1024 * 1024;

QString readAll(const QString& path, QByteArray& bytes) {
    FileRead file = readWholeFile(path, kMaxJournalBytes);
    if (file.error) {
        return QStringLiteral("%1: cannot be read: %2").arg(path, *file.error);
    }
    bytes = std::move(file.bytes);
    return {};
}

}  // namespace

bool parseReplayArguments(const QStringList& arguments, ReplayOptions& options, QString& message) {
    QStringList positional;
    for (const QString& argument : arguments) {
        if (argument == QStringLiteral("--sorted")) {
            options.sorted = true;
        } else if (argument.startsWith(QStringLiteral("--"))) {
            message = QStringLiteral("unknown option %1").arg(argument);
            return false;
        } else {
            positional << argument;
        }
    }
    if (positional.size() != 3) {
        message = QStringLiteral("usage: lapdeck-replay [--sorted] DATA_DIR JOURNAL OUT_DIR");
        return false;
    }
    options.dataDir = positional[0];
    options.journal = positional[1];
    options.outDir = positional[2];
    return true;
}

int runReplay(const ReplayOptions& options, QString& message) {
    // The whole journal is checked before anything runs.
    QByteArray journalBytes;
    message = readAll(options.journal, journalBytes);
    if (!message.isEmpty()) {
        return kReplayFailed;
    }
    std::optional<JournalError> journalError;
    const std::vector<JournalEntry> entries = parseJournal(journalBytes, &journalError);
    if (journalError) {
        message = QStringLiteral("%1, line %2: %3")
                      .arg(options.journal)
                      .arg(journalError->line)
                      .arg(journalError->message);
        return kReplayFailed;
    }

    // Every file the program reads at start-up must be there; only the lag column
    // choice has a default.
    const QStringList required = {FileNames::settings, FileNames::speedMultiplier,
                                  FileNames::raceFormat, FileNames::racerNames, FileNames::roster};
    for (const QString& name : required) {
        if (!QFileInfo(QDir(options.dataDir).filePath(name)).isFile()) {
            message = QStringLiteral("%1: missing").arg(QDir(options.dataDir).filePath(name));
            return kReplayFailed;
        }
    }
    const ConfigStore store(options.dataDir);
    auto loaded = store.loadAllStrict();
    if (const ConfigError* error = std::get_if<ConfigError>(&loaded)) {
        message = QDir(options.dataDir).filePath(error->message());
        return kReplayFailed;
    }
    const ConfigBundle& config = std::get<ConfigBundle>(loaded);

    // Start-up, then the Start button.
    RaceState state;
    applyConfig(config, state);
    ReplayHost host(config);
    ReplayPrompter prompter;
    NoRandom random;
    RaceEngine engine(state, host, prompter, random);
    host.engine = &engine;
    engine.ReSet();
    // In demo mode the journal holds the crossings the generator made; they are read
    // back as reports like any other (the title keeps its "Demo - ").
    state.live.demo = false;
    engine.cmdStart_Click();
    if (state.phase != RacePhase::Racing) {
        message = QStringLiteral("the race does not start");
        if (!prompter.messages.isEmpty()) {
            message += QStringLiteral(": ") + prompter.messages.join(QStringLiteral("; "));
        }
        return kReplayFailed;
    }

    runJournal(engine, entries);

    state.SortByLapTime = options.sorted;
    SummaryStats stats;
    Expected<RaceResultFiles> files =
        buildRaceResultFiles(state, stats, QDateTime::currentDateTime());
    if (!files.ok()) {
        message = files.error().text;
        return kReplayFailed;
    }

    // All four or none.
    if (!QDir().mkpath(options.outDir)) {
        message = QStringLiteral("%1: cannot create the folder").arg(options.outDir);
        return kReplayFailed;
    }
    const std::pair<QString, const QByteArray*> outputs[] = {
        {QStringLiteral("laps.lap"), &files.value().lapFile},
        {QStringLiteral("laps.txt"), &files.value().lapText},
        {QStringLiteral("summary.sum"), &files.value().summaryFile},
        {QStringLiteral("summary.txt"), &files.value().summaryText},
    };
    QStringList written;
    for (const auto& [name, bytes] : outputs) {
        const QString path = QDir(options.outDir).filePath(name);
        if (const auto reason = writeWholeFile(path, *bytes)) {
            message = QStringLiteral("%1: cannot be written: %2").arg(path, *reason);
            for (const QString& done : written) {
                QFile::remove(done);
            }
            return kReplayFailed;
        }
        written << path;
    }
    return kReplayOk;
}

}  // namespace lapdeck
