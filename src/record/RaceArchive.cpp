#include "RaceArchive.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>

namespace lapdeck {
namespace {

// Sorts by name as by time, and is a valid folder name everywhere.
const QString kNameFormat = QStringLiteral("yyyy-MM-dd HH-mm-ss");

// No file of ours is larger; a mark is one word.
constexpr qint64 kMaxMarkBytes = 1024;

QByteArray markText(RaceEnd end) {
    switch (end) {
        case RaceEnd::Finished:
            return "finished\r\n";
        case RaceEnd::Recovered:
            return "recovered\r\n";
        case RaceEnd::NotRecovered:
            return "not recovered\r\n";
        case RaceEnd::Unfinished:
            break;
    }
    return {};
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
        RaceRecord record{path, QDateTime::fromString(name.left(kNameFormat.size()), kNameFormat),
                          endOf(path)};
        records.push_back(std::move(record));
    }
    std::reverse(records.begin(), records.end());
    return records;
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
    const QString path = QDir(raceFolder).filePath(kEndMark);
    if (const auto reason = writeWholeFile(path, markText(end))) {
        return WriteFailure{path, *reason};
    }
    return std::nullopt;
}

RaceEnd RaceArchive::endOf(const QString& raceFolder) {
    const QString path = QDir(raceFolder).filePath(kEndMark);
    if (!QFileInfo::exists(path)) {
        return RaceEnd::Unfinished;
    }
    const FileRead mark = readWholeFile(path, kMaxMarkBytes);
    for (RaceEnd end : {RaceEnd::Recovered, RaceEnd::NotRecovered}) {
        if (mark.bytes == markText(end)) {
            return end;
        }
    }
    return RaceEnd::Finished;  // any mark: not to be asked about again
}

}  // namespace lapdeck
