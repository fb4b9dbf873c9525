#pragma once

#include <initializer_list>
#include <ostream>
#include <vector>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "RaceHost.h"

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace lapdeck::test {

inline QStringList strings(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts) {
        list.append(QString::fromUtf8(t));
    }
    return list;
}

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(file(name));
        if (f.open(QIODevice::WriteOnly)) {
            f.write(bytes);
        }
    }
    QByteArray read(const QString& name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    bool exists(const QString& name) const { return QFile::exists(file(name)); }

private:
    QTemporaryDir m_dir;
};

// A folder that does not exist, so nothing can be written into it.
inline QString unwritableFolder(const TempFolder& base) {
    return base.file(QStringLiteral("no/such/folder"));
}

struct Shown {
    QString title;
    QString text;
    Icon icon;
    bool question;
    bool defaultNo;
};

// Records every message and answers questions with a fixed answer.
class RecordingPrompter : public Prompter {
public:
    explicit RecordingPrompter(Answer answer = Answer::Yes) : m_answer(answer) {}
    Answer ask(const QString& title, const QString& text, Icon icon, bool defaultNo) override {
        shown.push_back({title, text, icon, true, defaultNo});
        return m_answer;
    }
    void inform(const QString& title, const QString& text, Icon icon) override {
        shown.push_back({title, text, icon, false, false});
    }
    std::vector<Shown> shown;

private:
    Answer m_answer;
};

}  // namespace lapdeck::test
