#include "ResultFileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "NumberFormat.h"
#include "ResultFieldReader.h"
#include "TextFile.h"

namespace lapdeck {
namespace {

ResultMessage notSaved(const QString& fileName, const QString& why) {
    return ResultMessage{
        QStringLiteral("File Not Saved"),
        QStringLiteral("File ") + fileName + QStringLiteral(" could not be saved: ") + why,
        Icon::Exclamation};
}

ResultMessage notOpened(const QString& fileName, const QString& why) {
    return ResultMessage{
        QStringLiteral("Open"),
        QStringLiteral("File ") + fileName + QStringLiteral(" could not be opened: ") + why,
        Icon::Exclamation};
}

// The readers' messages say what is wrong; the user also needs to know which file.
ResultMessage withFileName(const QString& fileName, ResultMessage message) {
    message.text = QStringLiteral("File ") + fileName + QStringLiteral(" could not be opened. ") +
                   message.text;
    return message;
}

SaveReport writeReport(const QString& fileName, const QByteArray& bytes, bool& unsavedMark,
                       std::optional<ResultMessage> notice = std::nullopt) {
    SaveReport report;
    if (notice) {
        report.messages.push_back(*notice);
    }
    if (auto error = writeFileAtomically(fileName, bytes)) {
        report.messages.push_back(*error);
        return report;
    }
    report.saved = true;
    report.messages.push_back(savedMessage(fileName));
    unsavedMark = false;
    return report;
}

}  // namespace

bool writesTextForm(const QString& fileName) {
    return fileName.contains(QStringLiteral(".txt"), Qt::CaseSensitive);
}

OpenKind openKindFor(const QString& fileName) {
    if (fileName.trimmed().isEmpty()) {
        return OpenKind::Nothing;
    }
    if (writesTextForm(fileName)) {
        return OpenKind::Shell;
    }
    return fileName.contains(QStringLiteral("lap"), Qt::CaseSensitive) ? OpenKind::LapFile
                                                                       : OpenKind::SummaryFile;
}

std::optional<OpenKind> resultKindOf(const QStringList& firstLines) {
    const auto line = [&firstLines](qsizetype at) { return firstLines.value(at).trimmed(); };
    // Lap format: the title, row 0 (7 cells), then row 1 begins with "Laps".
    const bool laps = line(8) == u"Laps";
    // Summary format: the title, row 0 (13 cells, "Flag" in column 2), then row 1 with
    // "Name" and "Color" in columns 1 and 2.
    const bool summary = line(3) == u"Flag" && line(15) == u"Name" && line(16) == u"Color";
    if (laps == summary) {
        return std::nullopt;
    }
    return laps ? OpenKind::LapFile : OpenKind::SummaryFile;
}

void ensureRaceDateTime(RaceState& state, const QDateTime& now) {
    if (state.RaceDateTime.isEmpty() && now.isValid()) {
        state.RaceDateTime = formatRaceDateTime(now);
    }
}

QString proposedLapFileName(const QString& folder, const QString& raceDateTime) {
    return QDir(folder).filePath(QStringLiteral("Laps ") + raceDateTime + QStringLiteral(".lap"));
}

QString proposedSummaryFileName(const QString& folder, const QString& raceDateTime) {
    return QDir(folder).filePath(QStringLiteral("Summary ") + raceDateTime +
                                 QStringLiteral(".sum"));
}

ResultMessage savedMessage(const QString& fileName) {
    return ResultMessage{QStringLiteral("File Saved"),
                         QStringLiteral("File ") + fileName + QStringLiteral(" has been saved"),
                         Icon::Information};
}

std::optional<ResultMessage> writeFileAtomically(const QString& fileName, const QByteArray& bytes) {
    if (const auto reason = writeWholeFile(fileName, bytes)) {
        return notSaved(fileName, *reason);
    }
    return std::nullopt;
}

SaveReport saveLapTable(RaceState& state, const QString& headerLine, const ResultGrid& grid,
                        const QString& fileName) {
    if (!writesTextForm(fileName)) {
        return writeReport(fileName, lapFileBytes(headerLine, grid), state.LapsUnsaved);
    }
    Expected<QByteArray> text = lapTextBytes(state);
    if (!text) {
        SaveReport report;
        report.messages.push_back(notSaved(fileName, text.error().text));
        return report;
    }
    return writeReport(fileName, text.value(), state.LapsUnsaved);
}

SaveReport saveSummary(RaceState& state, SummaryStats& stats, const ResultGrid& grid,
                       const QString& fileName) {
    if (!writesTextForm(fileName)) {
        return writeReport(fileName, summaryFileBytes(state.RaceTitle, grid), state.SummaryUnsaved);
    }
    SummaryText text = summaryTextBytes(state, stats);
    return writeReport(fileName, text.bytes, state.SummaryUnsaved, text.notice);
}

Expected<OpenedResult> openResultFile(const QString& fileName) {
    OpenedResult opened;
    opened.kind = openKindFor(fileName);
    opened.fileName = fileName;
    if (opened.kind == OpenKind::Nothing || opened.kind == OpenKind::Shell) {
        return opened;
    }
    const QFileInfo info(fileName);
    if (!info.exists()) {
        return notOpened(fileName, QStringLiteral("the file does not exist"));
    }
    if (!info.isFile()) {
        return notOpened(fileName, QStringLiteral("this is not a file"));
    }
    if (info.size() > kMaxResultFileBytes) {
        return notOpened(fileName, QStringLiteral("the file is too large"));
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return notOpened(fileName, file.errorString());
    }
    TextLineReader lines(file, kMaxResultLineBytes);
    QStringList head;
    while (head.size() < kKindLines) {
        std::optional<QString> line = lines.next();
        if (!line) {
            break;
        }
        head << *line;
    }
    lines.rewind();
    opened.kind = resultKindOf(head).value_or(opened.kind);
    ResultFieldReader fields(lines);
    if (opened.kind == OpenKind::LapFile) {
        Expected<LapFileContent> laps = readLapFile(fields);
        if (!laps) {
            return withFileName(fileName, laps.error());
        }
        opened.laps = std::move(laps.value());
    } else {
        Expected<SummaryFileContent> summary = readSummaryFile(fields);
        if (!summary) {
            return withFileName(fileName, summary.error());
        }
        opened.summary = std::move(summary.value());
    }
    return opened;
}

}  // namespace lapdeck
