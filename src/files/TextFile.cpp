#include "TextFile.h"

#include <array>
#include <memory>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <QStringDecoder>

namespace lapdeck {
namespace {

// Windows-1252 where it differs from Latin-1 (0x80..0x9F); 0 marks the five
// unassigned bytes, which are kept as the control characters Latin-1 gives them.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString fromWindows1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const char16_t mapped = (b >= 0x80 && b <= 0x9F) ? kCp1252High[b - 0x80] : 0;
        *out++ = QChar(mapped != 0 ? mapped : static_cast<char16_t>(b));
    }
    return text;
}

QString readReason(const QFile& file) {
    const QString reason = file.errorString();
    return reason.isEmpty() || reason == QLatin1String("Unknown error")
               ? QStringLiteral("the system gave no reason")
               : reason;
}

}  // namespace

FileRead readWholeFile(const QString& path, qint64 maxBytes) {
    FileRead result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = QStringLiteral("the file does not exist");
        return result;
    }
    if (!info.isFile()) {
        result.error = QStringLiteral("this is not a file");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = readReason(file);
        return result;
    }
    // A device without a size (a pipe) reads as 0 here; the read below is capped too.
    if (file.size() > maxBytes) {
        result.error = QStringLiteral("the file is too large");
        return result;
    }
    result.bytes = file.read(maxBytes + 1);
    if (result.bytes.size() > maxBytes) {
        result.bytes.clear();
        result.error = QStringLiteral("the file is too large");
    } else if (file.error() != QFileDevice::NoError) {
        result.bytes.clear();
        result.error = readReason(file);
    }
    return result;
}

namespace {

// Writes and flushes `bytes` into the save file's temporary file; nothing is
// renamed into place yet.
std::optional<QString> writeUncommitted(QSaveFile& file, const QByteArray& bytes) {
    if (!file.open(QIODevice::WriteOnly)) {
        return plainWriteReason(file.fileName(), file.errorString());
    }
    // QSaveFile buffers: a full disk may only show at the flush, and a commit after
    // a failed flush still renames the empty temporary file into place. Every step
    // is checked and nothing is committed after a failure.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return plainWriteReason(file.fileName(), reason);
    }
    return std::nullopt;
}

}  // namespace

std::optional<QString> writeWholeFile(const QString& path, const QByteArray& bytes) {
    if (const auto failure = writeWholeFiles({{path, bytes}})) {
        return failure->reason;
    }
    return std::nullopt;
}

std::optional<WriteFailure> writeWholeFiles(const std::vector<FileToWrite>& files) {
    std::vector<std::unique_ptr<QSaveFile>> pending;
    for (const FileToWrite& file : files) {
        pending.push_back(std::make_unique<QSaveFile>(file.path));
        if (const auto reason = writeUncommitted(*pending.back(), file.bytes)) {
            return WriteFailure{file.path, *reason};  // the others' temporary files go too
        }
    }
    for (size_t i = 0; i < pending.size(); ++i) {
        if (!pending[i]->commit()) {
            return WriteFailure{files[i].path,
                                plainWriteReason(files[i].path, pending[i]->errorString())};
        }
    }
    return std::nullopt;
}

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(bytes);
    return !utf8.hasError();
}

QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        return fromWindows1252(bytes);
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);  // a byte-order mark some editors add
    }
    return text;
}

QString plainWriteReason(const QString& path, const QString& systemReason) {
    const QString folder = QFileInfo(path).absolutePath();
    if (systemReason.contains(QLatin1String("No space left"), Qt::CaseInsensitive) ||
        systemReason.contains(QLatin1String("quota"), Qt::CaseInsensitive)) {
        return QStringLiteral("the disk is full");
    }
    if (systemReason.contains(QLatin1String("Read-only file system"), Qt::CaseInsensitive)) {
        return QStringLiteral("the disk is read-only");
    }
    if (!QFileInfo(folder).isDir()) {
        return QStringLiteral("the folder %1 does not exist").arg(QDir::toNativeSeparators(folder));
    }
    if (systemReason.contains(QLatin1String("Permission denied"), Qt::CaseInsensitive) ||
        !QFileInfo(folder).isWritable()) {
        return QStringLiteral("Lapdeck may not write to the folder %1")
            .arg(QDir::toNativeSeparators(folder));
    }
    const QStorageInfo storage(folder);
    if (storage.isValid() && storage.bytesAvailable() == 0) {
        return QStringLiteral("the disk is full");
    }
    if (systemReason.isEmpty() || systemReason == QLatin1String("Unknown error")) {
        return QStringLiteral("the system gave no reason");
    }
    return systemReason;
}

}  // namespace lapdeck
