#include "MeetingFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "ConfigError.h"
#include "FieldReader.h"
#include "FieldWriter.h"
#include "ProgramFiles.h"
#include "TextFile.h"

namespace lapdeck::MeetingFile {
namespace {

constexpr int kVersion = 1;
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

// The line kinds in the order a file holds them; the heading lines once each.
enum Stage { Heading, Name, Date, Rounds, Ranking, RoundOne, Mains, Class, EntryLine, Run };
const QStringList kKeywords = {QStringLiteral("Lapdeck meeting"),
                               QStringLiteral("Name"),
                               QStringLiteral("Date"),
                               QStringLiteral("Rounds"),
                               QStringLiteral("Ranking"),
                               QStringLiteral("Round one"),
                               QStringLiteral("Mains"),
                               QStringLiteral("Class"),
                               QStringLiteral("Entry"),
                               QStringLiteral("Run"),
                               QStringLiteral("Seat"),
                               QStringLiteral("Result")};

const QStringList kRules = {QStringLiteral("Best round"), QStringLiteral("Points")};
const QStringList kOrders = {QStringLiteral("Entry order"), QStringLiteral("Drawn")};
const QStringList kLengths = {QStringLiteral("Laps"), QStringLiteral("Minutes")};
const QStringList kStatuses = {QStringLiteral("Running"), QStringLiteral("Done"),
                               QStringLiteral("Replaced")};

QString tooLong(const QString& name) {
    return QStringLiteral("the racer's name has %1 characters and a name may be at most %2")
        .arg(name.size())
        .arg(kMaxNameLength);
}

// Reads the fields of one line; the first problem is kept with the line's number.
class LineReader {
public:
    LineReader(const QString& fileName, const QString& line, int lineNo)
        : m_reader(fileName, line.toUtf8()), m_lineNo(lineNo) {}

    QString text() { return m_reader.readText().value_or(QString()); }
    int whole(int low, int high) {
        const auto value = m_reader.readInt32();
        if (value && (*value < low || *value > high)) {
            m_reader.failLastField(
                QStringLiteral("%1 is not between %2 and %3").arg(*value).arg(low).arg(high));
        }
        return value.value_or(low);
    }
    uint32_t seed() {
        const auto value = m_reader.readNumber();
        if (value &&
            (*value < 0 || *value > 4294967295.0 || *value != static_cast<int64_t>(*value))) {
            m_reader.failLastField(
                QStringLiteral("the seed must be a whole number from 0 to "
                               "4294967295"));
            return 0;
        }
        return static_cast<uint32_t>(value.value_or(0));
    }
    bool truth() { return m_reader.readBool().value_or(false); }
    // A seat's or a result's racer: one too long refuses the line.
    QString name() {
        QString value = text();
        if (value.size() > kMaxNameLength) {
            fail(tooLong(value));
            return {};
        }
        return value;
    }
    // The position of a text field in `choices`.
    int choice(const QStringList& choices) {
        const auto value = m_reader.readText();
        const qsizetype i = value ? choices.indexOf(*value) : 0;
        if (i < 0) {
            m_reader.failLastField(QStringLiteral("\"%1\" is not one of \"%2\"")
                                       .arg(*value, choices.join(QStringLiteral("\", \""))));
            return 0;
        }
        return static_cast<int>(i);
    }
    void fail(const QString& reason) { m_reader.failLastField(reason); }
    // The line's first problem; once all is read, also a field too many.
    std::optional<QString> problem(bool allRead) {
        if (allRead && !m_reader.error() && !m_reader.atEnd()) {
            m_reader.readText();
            m_reader.failLastField(QStringLiteral("there are more fields than this line has"));
        }
        if (!m_reader.error()) {
            return std::nullopt;
        }
        ConfigError error = *m_reader.error();
        error.line = m_lineNo;
        return error.message();
    }

private:
    FieldReader m_reader;
    int m_lineNo;
};

void writeResult(FieldWriter& w, int runId, const RacerResult& r) {
    w.text(QStringLiteral("Result")).number(runId).number(r.flag).text(r.name);
    w.number(r.laps).number(r.timeMs).number(r.bestLapMs).endLine();
}

}  // namespace

QString folder(const QString& dataDir) {
    return QDir(dataDir).filePath(kFolder);
}

QString pathFor(const QString& dataDir, const Meeting& meeting) {
    QString name = meeting.date.toString(kDateFormat) + QLatin1Char(' ') + meeting.name;
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]")),
                 QStringLiteral("-"));
    return QDir(folder(dataDir)).filePath(name + kSuffix);
}

QStringList list(const QString& dataDir) {
    const QDir dir(folder(dataDir));
    QStringList files;
    const QStringList names =
        dir.entryList({QLatin1Char('*') + kSuffix}, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QString& name : names) {
        files.append(dir.filePath(name));
    }
    return files;
}

QByteArray serialize(const Meeting& m) {
    FieldWriter w;
    w.text(kKeywords[Heading]).number(kVersion).endLine();
    w.text(kKeywords[Name]).text(m.name).endLine();
    w.text(kKeywords[Date]).text(m.date.toString(kDateFormat)).endLine();
    w.text(kKeywords[Rounds]).number(m.rounds).endLine();
    w.text(kKeywords[Ranking])
        .text(kRules[m.ranking == RankingRule::Points ? 1 : 0])
        .number(m.countedRounds)
        .endLine();
    w.text(kKeywords[RoundOne])
        .text(kOrders[m.roundOne == RoundOneOrder::Drawn ? 1 : 0])
        .number(m.drawSeed)
        .endLine();
    w.text(kKeywords[Mains]).number(m.mains).number(m.bumpUps).endLine();
    for (const MeetingClass& c : m.classes) {
        w.text(kKeywords[Class]).text(c.name).text(kLengths[c.length.timed ? 1 : 0]);
        w.number(c.length.value).endLine();
    }
    for (const Entry& e : m.entries) {
        w.text(kKeywords[EntryLine]).text(e.name).text(e.className).truth(e.withdrawn).endLine();
    }
    for (const HeatRun& run : m.runs) {
        w.text(kKeywords[Run]).number(run.id).text(run.key.className).number(run.key.round);
        w.number(run.key.number).text(kStatuses[static_cast<int>(run.status)]);
        w.text(run.raceFolder).endLine();
        for (const Seat& s : run.seats) {
            w.text(QStringLiteral("Seat")).number(run.id).number(s.flag).text(s.name).endLine();
        }
        for (const RacerResult& r : run.results) {
            writeResult(w, run.id, r);
        }
    }
    return w.bytes();
}

std::variant<Meeting, QString> parse(const QByteArray& bytes, const QString& fileName,
                                     QStringList* leftOut) {
    Meeting m;
    const QStringList lines =
        decodeText(bytes).split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    int stage = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty()) {
            continue;
        }
        LineReader r(fileName, lines[i], i + 1);
        const int kind = r.choice(kKeywords);
        // Seat and Result lines belong to the run above them.
        const int lineStage = std::min(kind, static_cast<int>(Run));
        const bool once = lineStage < Class;
        if (auto problem = r.problem(false)) {
            return *problem;
        }
        if (lineStage < stage || (once && lineStage != stage + 1) ||
            (stage < Mains && lineStage != stage + 1) || (kind > Run && m.runs.empty())) {
            r.fail(QStringLiteral("\"%1\" is out of place: a meeting file holds the heading "
                                  "lines, the classes, the entries, then the runs, in that order")
                       .arg(kKeywords[kind]));
            return *r.problem(false);
        }
        stage = lineStage;
        switch (kind) {
            case Heading:
                if (r.whole(0, 1000) != kVersion) {
                    r.fail(QStringLiteral("this meeting file is of another Lapdeck version"));
                }
                break;
            case Name:
                m.name = r.text();
                break;
            case Date:
                m.date = QDate::fromString(r.text(), kDateFormat);
                if (!m.date.isValid()) {
                    r.fail(QStringLiteral("the date is not written as year-month-day"));
                }
                break;
            case Rounds:
                m.rounds = r.whole(1, kMaxRounds);
                break;
            case Ranking:
                m.ranking = r.choice(kRules) == 1 ? RankingRule::Points : RankingRule::BestRound;
                m.countedRounds = r.whole(1, kMaxRounds);
                break;
            case RoundOne:
                m.roundOne =
                    r.choice(kOrders) == 1 ? RoundOneOrder::Drawn : RoundOneOrder::EntryOrder;
                m.drawSeed = r.seed();
                break;
            case Mains:
                m.mains = r.whole(0, kMaxMains);
                m.bumpUps = r.whole(0, kMaxBumpUps);
                break;
            case Class: {
                MeetingClass c;
                c.name = r.text();
                c.length.timed = r.choice(kLengths) == 1;
                c.length.value = r.whole(1, 500);
                m.classes.push_back(c);
                break;
            }
            case EntryLine: {
                Entry e;
                e.name = r.text();
                e.className = r.text();
                e.withdrawn = r.truth();
                if (e.name.size() <= kMaxNameLength) {
                    m.entries.push_back(e);
                } else if (leftOut) {
                    *leftOut << ConfigError{fileName, i + 1, 2,
                                            tooLong(e.name) +
                                                QStringLiteral(", so this entry was left out")}
                                    .message();
                }
                break;
            }
            case Run: {
                HeatRun run;
                run.id = r.whole(1, 1000000);
                run.key.className = r.text();
                run.key.round = r.whole(0, kMaxRounds);
                run.key.number = r.whole(1, 1000);
                run.status = static_cast<RunStatus>(r.choice(kStatuses));
                run.raceFolder = r.text();
                m.runs.push_back(run);
                break;
            }
            default: {
                HeatRun& run = m.runs.back();
                if (r.whole(1, 1000000) != run.id) {
                    r.fail(QStringLiteral("it names another run than the run above it (%1)")
                               .arg(run.id));
                } else if (kind == Run + 1) {
                    Seat s;
                    s.flag = r.whole(1, 6);
                    s.name = r.name();
                    run.seats.push_back(s);
                } else {
                    RacerResult x;
                    x.flag = r.whole(1, 6);
                    x.name = r.name();
                    x.laps = r.whole(-1, 3000);
                    x.timeMs = r.whole(0, 2147483647);
                    x.bestLapMs = r.whole(1, 999999);
                    run.results.push_back(x);
                }
                break;
            }
        }
        if (auto problem = r.problem(true)) {
            return *problem;
        }
    }
    if (stage < Mains) {
        return ConfigError{fileName, 0, 0,
                           QStringLiteral("the file ends before its heading lines do")}
            .message();
    }
    if (auto problem = checkMeeting(m)) {
        return fileName + QStringLiteral(": ") + *problem;
    }
    return m;
}

std::variant<Meeting, QString> load(const QString& path, QStringList* leftOut) {
    FileRead file = readWholeFile(path, kMaxBytes);
    if (file.error) {
        return QStringLiteral("%1: cannot be read: %2").arg(path, *file.error);
    }
    return parse(file.bytes, path, leftOut);
}

std::optional<QString> save(const QString& path, const Meeting& meeting) {
    if (auto problem = checkMeeting(meeting)) {
        return QStringLiteral("%1: not written: %2").arg(path, *problem);
    }
    const QString dir = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(dir)) {
        return QStringLiteral("%1: cannot be written: the folder %2 cannot be made").arg(path, dir);
    }
    if (auto reason = writeWholeFile(path, serialize(meeting))) {
        return QStringLiteral("%1: cannot be written: %2").arg(path, *reason);
    }
    return std::nullopt;
}

}  // namespace lapdeck::MeetingFile
