#include "RaceArchive.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lapdeck {
namespace {

// Sorts by name as by time, and is a valid folder name everywhere.
const QString kNameFormat = QStringLiteral("yyyy-MM-dd HH-mm-ss");

// No file of ours is larger.
constexpr qint64 kMaxMarkBytes = 1024;
// Every mark is written at this size, so that rewriting it needs no room on the disk.
constexpr qsizetype kMarkBytes = 64;
const QByteArray kCutNote = "journal cut at ";

QByteArray endWord(RaceEnd end) {
    switch (end) {
        case RaceEnd::Unfinished:
            return "running";
        case RaceEnd::Finished:
            return "finished";
        case RaceEnd::Recovered:
            return "recovered";
        case RaceEnd::NotRecovered:
            return "not recovered";
        case RaceEnd::NoCrossings:
            return "no crossings";
    }
    return {};
}

// The word on the first line, a journal cut on the next, then blanks up to the size.
QByteArray markBytes(const EndMark& mark) {
    QByteArray bytes = endWord(mark.end) + "\r\n";
    if (mark.journalCutAt) {
        bytes += kCutNote + QByteArray::number(*mark.journalCutAt) + "\r\n";
    }
    return bytes + QByteArray(kMarkBytes - bytes.size() - 2, ' ') + "\r\n";
}

EndMark parseMark(const QByteArray& bytes) {
    EndMark mark{RaceEnd::Finished, std::nullopt};  // any mark: not to be asked about again
    const QList<QByteArray> lines = bytes.split('\n');
    const QByteArray word = lines.value(0).trimmed();
    for (RaceEnd end :
         {RaceEnd::Unfinished, RaceEnd::Recovered, RaceEnd::NotRecovered, RaceEnd::NoCrossings}) {
        if (word == endWord(end)) {
            mark.end = end;
        }
    }
    const QByteArray cut = lines.value(1).trimmed();
    bool ok = false;
    const int32_t clock = cut.mid(kCutNote.size()).toInt(&ok);
    if (cut.startsWith(kCutNote) && ok && clock >= 0) {
        mark.journalCutAt = clock;
    }
    return mark;
}

// In place when the mark has its full size (the disk may be full by now), otherwise
// whole through the atomic writer.
std::optional<WriteFailure> writeMark(const QString& raceFolder, const EndMark& mark) {
    const QString path = QDir(raceFolder).filePath(RaceArchive::kEndMark);
    const QByteArray bytes = markBytes(mark);
    QFile file(path);
    if (file.size() == bytes.size() &&
        file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        const bool written = file.write(bytes) == bytes.size();
        file.close();
        if (written) {
            return std::nullopt;
        }
    }
    if (const auto reason = writeWholeFile(path, bytes)) {
        return WriteFailure{path, *reason};
    }
    return std::nullopt;
}

}  // namespace

QString RaceRecord::journal() const {
    return QDir(folder).filePath(RaceArchive::kJournal);
}

RaceArchive::RaceArchive(const QString& dataDir) : m_folder(QDir(dataDir).filePath(kFolder)) {}

std::vector<RaceRecord> RaceArchive::races() const {
    std::vector<RaceRecord> records;
    const QDir dir(m_folder);
    const QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        if (!QFileInfo(QDir(path).filePath(kJournal)).isFile()) {
            continue;  // not a race folder of ours
        }
        records.push_back(record(path));
    }
    std::reverse(records.begin(), records.end());
    return records;
}

RaceRecord RaceArchive::record(const QString& raceFolder) {
    const QString name = QFileInfo(raceFolder).fileName();
    const EndMark mark = endMark(raceFolder);
    return RaceRecord{raceFolder, QDateTime::fromString(name.left(kNameFormat.size()), kNameFormat),
                      mark.end, mark.journalCutAt};
}

std::variant<QString, WriteFailure> RaceArchive::createRaceFolder(
    const QDateTime& start, const std::vector<FileToWrite>& files) {
    if (!QDir().mkpath(m_folder)) {
        return WriteFailure{m_folder, plainWriteReason(m_folder, QString())};
    }
    // Two starts within a second get folders of their own.
    const QString base = start.toString(kNameFormat);
    QDir archive(m_folder);
    QString name = base;
    for (int n = 2; !archive.mkdir(name); ++n) {
        if (archive.exists(name) && n < 100) {
            name = base + QStringLiteral(" ") + QString::number(n);
            continue;
        }
        return WriteFailure{archive.filePath(name), plainWriteReason(archive.filePath(name), {})};
    }
    const QString folder = archive.filePath(name);
    std::vector<FileToWrite> placed = files;
    placed.push_back({kEndMark, markBytes({})});
    for (FileToWrite& file : placed) {
        file.path = QDir(folder).filePath(file.path);
    }
    if (auto failure = writeWholeFiles(placed)) {
        QDir(folder).removeRecursively();  // just made, holds nothing else
        return *failure;
    }
    return folder;
}

std::optional<WriteFailure> RaceArchive::markEnded(const QString& raceFolder, RaceEnd end) {
    EndMark mark = endMark(raceFolder);
    mark.end = end;
    return writeMark(raceFolder, mark);
}

std::optional<WriteFailure> RaceArchive::markJournalCut(const QString& raceFolder, int32_t clock) {
    EndMark mark = endMark(raceFolder);
    mark.journalCutAt = clock;
    return writeMark(raceFolder, mark);
}

EndMark RaceArchive::endMark(const QString& raceFolder) {
    const QString path = QDir(raceFolder).filePath(kEndMark);
    if (!QFileInfo::exists(path)) {
        return {};  // a folder of an earlier Lapdeck, not yet marked
    }
    return parseMark(readWholeFile(path, kMaxMarkBytes).bytes);
}

}  // namespace lapdeck
