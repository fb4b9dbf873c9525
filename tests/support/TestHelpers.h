#pragma once

// Small helpers every test folder uses: readable QStrings in failures, literal
// lists, and a scratch folder.

#include <functional>
#include <initializer_list>
#include <ostream>
#include <random>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace lapdeck::test {

inline QString qs(const char* text) {
    return QString::fromUtf8(text);
}

inline QStringList strings(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts) {
        list.append(QString::fromUtf8(t));
    }
    return list;
}

// Lines of a CR LF text; a bare line feed shows as "<LF>".
inline QStringList crlfLines(const QByteArray& bytes) {
    QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    for (QString& line : lines) {
        line.replace(u'\n', QStringLiteral("<LF>"));
    }
    return lines;
}

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// For the readers' robustness tests: random bytes, or a few random edits of a valid
// file (overwrite, insert, delete, cut, repeat a stretch). Half the bytes come from
// `special`, the bytes a reader treats specially, far more often than chance would.
inline char fuzzByte(std::mt19937& rng, const QByteArray& special) {
    return rng() % 2 ? special[rng() % static_cast<unsigned>(special.size())]
                     : static_cast<char>(rng());
}
inline QByteArray randomBytes(std::mt19937& rng, const QByteArray& special) {
    QByteArray out;
    for (unsigned n = rng() % 400; n > 0; --n) {
        out.append(fuzzByte(rng, special));
    }
    return out;
}
inline QByteArray mutated(QByteArray bytes, std::mt19937& rng, const QByteArray& special) {
    for (unsigned edits = 1 + rng() % 6; edits > 0 && !bytes.isEmpty(); --edits) {
        const auto p = static_cast<qsizetype>(rng() % static_cast<unsigned>(bytes.size()));
        const char c = fuzzByte(rng, special);
        const std::function<void()> edit[] = {[&] { bytes[p] = c; }, [&] { bytes.insert(p, c); },
                                              [&] { bytes.remove(p, 1 + rng() % 40); },
                                              [&] { bytes.truncate(p); },
                                              [&] { bytes.insert(p, bytes.mid(p, 12)); }};
        edit[rng() % 5]();
    }
    return bytes;
}

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    // A folder that does not exist, so nothing can be written into it.
    QString missing() const { return file(QStringLiteral("no/such/folder")); }

    void write(const QString& name, const QByteArray& bytes) const {
        writeBytes(file(name), bytes);
    }
    QByteArray read(const QString& name) const { return fileBytes(file(name)); }

private:
    QTemporaryDir m_dir;
};

}  // namespace lapdeck::test
