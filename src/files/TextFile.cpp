#include "TextFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
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
// renamed into place yet. errno is taken right after each call, before anything
// else can change it.
std::optional<QString> writeUncommitted(QSaveFile& file, const QByteArray& bytes) {
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const int code = errno;
        return plainWriteReason(file.fileName(), code, file.error(), file.errorString());
    }
    // QSaveFile buffers: a full disk may only show at the flush, and a commit after
    // a failed flush still renames the empty temporary file into place. Every step
    // is checked and nothing is committed after a failure.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int code = errno;
        const QFileDevice::FileError kind = file.error();
        const QString text = file.errorString();
        file.cancelWriting();
        return plainWriteReason(file.fileName(), code, kind, text);
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
        errno = 0;
        if (!pending[i]->commit()) {
            const int code = errno;
            return WriteFailure{files[i].path,
                                plainWriteReason(files[i].path, code, pending[i]->error(),
                                                 pending[i]->errorString())};
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

TextLineReader::TextLineReader(QIODevice& device, qint64 maxLineBytes)
    : m_device(device), m_maxLineBytes(maxLineBytes), m_start(device.pos()) {
    // The encoding is the whole file's: one line that is not UTF-8 makes it all 1252.
    QByteArray line;
    while (m_failure == Failure::None && nextBytes(line)) {
        m_utf8 = m_utf8 && isValidUtf8(line);
    }
    if (m_failure == Failure::None) {
        rewind();
    }
}

void TextLineReader::rewind() {
    if (m_failure != Failure::None) {
        return;
    }
    if (!m_device.seek(m_start)) {
        fail(Failure::Unreadable);
        return;
    }
    m_chunk.clear();
    m_at = 0;
    m_skipLineFeed = false;
    m_atEnd = false;
}

void TextLineReader::fail(Failure failure) {
    m_failure = failure;
    if (failure == Failure::Unreadable) {
        const QString text = m_device.errorString();
        m_reason = text.isEmpty() || text == QLatin1String("Unknown error")
                       ? QStringLiteral("the system gave no reason")
                       : text;
    }
}

bool TextLineReader::refill() {
    constexpr qint64 kChunk = 64 * 1024;
    m_chunk.resize(kChunk);
    const qint64 read = m_device.read(m_chunk.data(), kChunk);
    m_chunk.resize(std::max<qint64>(read, 0));
    m_at = 0;
    if (read < 0) {
        fail(Failure::Unreadable);
    }
    m_atEnd = read <= 0;
    return read > 0;
}

bool TextLineReader::nextBytes(QByteArray& line) {
    line.clear();
    bool any = false;
    while (m_failure == Failure::None) {
        if (m_at >= m_chunk.size() && (m_atEnd || !refill())) {
            return any;
        }
        if (m_skipLineFeed) {
            m_skipLineFeed = false;
            if (m_chunk[m_at] == '\n') {
                ++m_at;
                continue;
            }
        }
        any = true;
        qsizetype end = m_at;
        while (end < m_chunk.size() && m_chunk[end] != '\r' && m_chunk[end] != '\n') {
            ++end;
        }
        if (line.size() + (end - m_at) > m_maxLineBytes) {
            line.clear();
            fail(Failure::LineTooLong);
            return false;
        }
        line.append(m_chunk.constData() + m_at, end - m_at);
        m_at = end;
        if (end < m_chunk.size()) {
            m_skipLineFeed = m_chunk[end] == '\r';
            ++m_at;
            return true;
        }
    }
    return false;
}

std::optional<QString> TextLineReader::next() {
    QByteArray bytes;
    if (!nextBytes(bytes)) {
        return std::nullopt;
    }
    // fromUtf8 drops a byte-order mark some editors add.
    return m_utf8 ? QString::fromUtf8(bytes) : fromWindows1252(bytes);
}

QString plainWriteReason(const QString& path, int errorNumber, QFileDevice::FileError kind,
                         const QString& systemText) {
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    const QString nativeFolder = QDir::toNativeSeparators(folder);
    if (!QFileInfo(folder).isDir()) {
        return QStringLiteral("the folder %1 does not exist").arg(nativeFolder);
    }
    if (errorNumber == ENOSPC || errorNumber == EDQUOT || kind == QFileDevice::ResourceError) {
        return QStringLiteral("the disk is full");
    }
    const QStorageInfo storage(folder);
    if (errorNumber == EROFS || (storage.isValid() && storage.isReadOnly())) {
        return QStringLiteral("the disk is read-only");
    }
    if (file.isDir() || errorNumber == EISDIR) {
        return QStringLiteral("%1 is a folder").arg(QDir::toNativeSeparators(path));
    }
    if (errorNumber == EACCES || errorNumber == EPERM || !QFileInfo(folder).isWritable()) {
        return QStringLiteral("Lapdeck may not write to the folder %1").arg(nativeFolder);
    }
    if (errorNumber == EFBIG) {
        return QStringLiteral("the file would be larger than the system allows");
    }
    if (storage.isValid() && storage.bytesAvailable() == 0) {
        return QStringLiteral("the disk is full");
    }
    if (errorNumber == EIO) {
        return QStringLiteral("the disk reported an error while writing");
    }
    if (errorNumber == ENAMETOOLONG) {
        return QStringLiteral("the name is too long");
    }
    // An error no rule knows: the system's own words are all there is.
    if (errorNumber != 0 && !systemText.isEmpty()) {
        return systemText;
    }
    return QStringLiteral("the system gave no reason");
}

QString plainWriteReason(const QString& path, const QString& systemText) {
    const int errorNumber = errno;
    return plainWriteReason(path, errorNumber, QFileDevice::UnspecifiedError, systemText);
}

}  // namespace lapdeck
