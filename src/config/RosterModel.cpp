#include "RosterModel.h"

#include "DataFile.h"
#include "FieldWriter.h"
#include "ProgramFiles.h"
#include "ScreenTexts.h"

namespace lapdeck {

QString properCase(const QString& name) {
    QString out = name;
    bool wordStart = true;
    for (QChar& c : out) {
        if (c.isSpace()) {
            wordStart = true;
            continue;
        }
        c = wordStart ? c.toUpper() : c.toLower();
        wordStart = false;
    }
    return out;
}

QStringList namePickerEntries(const QStringList& rosterNames, const NameOrder& order) {
    // Sorting once gives what adding each name at its place gives, without the
    // square of the roster's size.
    QStringList entries = order.sorted(rosterNames);
    entries.insert(order.insertPlace(entries, captions::kEmpty), captions::kEmpty);
    return entries;
}

std::optional<QString> screenWordRefusal(const QString& name) {
    const QString word = properCase(name.trimmed());
    for (const QString& taken : {captions::kSelectName, captions::kEmpty, captions::kDisabled}) {
        if (word == taken) {
            return QStringLiteral("\"") + taken +
                   QStringLiteral(
                       "\" cannot be a racer's name: the race screen shows that word for a lane "
                       "with no racer.");
        }
    }
    return std::nullopt;
}

std::optional<QString> lengthRefusal(const QString& name) {
    if (name.size() <= kMaxNameLength) {
        return std::nullopt;
    }
    return QStringLiteral("A racer's name may be at most %1 characters; this one has %2.")
        .arg(kMaxNameLength)
        .arg(name.size());
}

QString leaveOutRefusedNames(QStringList& names, const QString& fileName) {
    QStringList words;
    QStringList tooLong;
    qsizetype number = 0;
    names.removeIf([&](const QString& name) {
        ++number;
        if (lengthRefusal(name)) {
            // Its start and place find it in the file; the whole would flood the message.
            tooLong << QStringLiteral("name %1 (%2 characters, \"%3...\")")
                           .arg(number)
                           .arg(name.size())
                           .arg(name.left(20));
            return true;
        }
        if (screenWordRefusal(name)) {
            words << QStringLiteral("\"") + name + QStringLiteral("\"");
            return true;
        }
        return false;
    });
    QStringList told;
    if (!words.isEmpty()) {
        told << fileName + QStringLiteral(" holds ") + words.join(QStringLiteral(", ")) +
                    QStringLiteral(
                        ": the race screen shows these words for a lane with no racer, so they "
                        "were left out of the names to choose from.");
    }
    if (!tooLong.isEmpty()) {
        told << fileName + QStringLiteral(" holds ") + tooLong.join(QStringLiteral(", ")) +
                    QStringLiteral(
                        ": a racer's name may be at most %1 characters, so that is "
                        "left out of the names to choose from.")
                        .arg(kMaxNameLength);
    }
    return told.join(QLatin1Char('\n'));
}

RosterModel::RosterModel(QString rosterPath) : m_path(std::move(rosterPath)) {}

std::optional<ConfigError> RosterModel::load() {
    LoadResult<QStringList> names = loadRoster(m_path);
    // The window told of them when it loaded the names.
    leaveOutRefusedNames(names.value, QString());
    m_entries = m_order.sorted(names.value);
    // Only a missing file may be started afresh; one that was refused or could not
    // be read must not be overwritten by the few names added to it.
    m_canChange = names.ok() || !DataFile::exists(m_path);
    return names.error;
}

QString RosterModel::countCaption() const {
    return QStringLiteral("Total number of Racers: ") + QString::number(m_entries.size());
}

qsizetype RosterModel::sortedPlace(const QString& name) const {
    return m_order.insertPlace(m_entries, name);
}

bool RosterModel::acceptable(const QString& input, Prompter& prompter) const {
    auto refusal = lengthRefusal(input);
    if (!refusal) {
        refusal = screenWordRefusal(input);
    }
    if (refusal) {
        prompter.inform(QStringLiteral("Add Racer"), *refusal, Icon::Exclamation);
        return false;
    }
    return true;
}

std::optional<ConfigError> RosterModel::add(const QString& input, Prompter& prompter) {
    const QString trimmed = input.trimmed();
    if (trimmed.isEmpty() || !m_canChange || !acceptable(trimmed, prompter)) {
        return std::nullopt;
    }
    // Compared in the form it is stored in, so a name with a quote cannot slip in twice.
    const QString name = FieldWriter::storable(properCase(trimmed));
    if (m_entries.contains(name)) {
        prompter.inform(QString(), name + QStringLiteral(" already exists"), Icon::None);
        return std::nullopt;
    }
    // File first: a name that could not be stored must not show in the list.
    if (auto error = appendToRoster(m_path, name)) {
        return error;
    }
    m_entries.insert(sortedPlace(name), name);
    return std::nullopt;
}

bool RosterModel::checkModifySelection(int row, Prompter& prompter) const {
    if (validRow(row)) {
        return true;
    }
    prompter.inform(QStringLiteral("Modify"), QStringLiteral("Select name from list to modify"),
                    Icon::Information);
    return false;
}

std::optional<ConfigError> RosterModel::modify(int row, const QString& input) {
    if (!validRow(row) || !m_canChange) {
        return std::nullopt;
    }
    QStringList changed = m_entries;
    if (!input.isEmpty()) {
        changed[row] = FieldWriter::storable(properCase(input));
    }
    if (auto error = saveRoster(m_path, changed)) {
        return error;
    }
    m_entries = changed;
    return std::nullopt;
}

std::optional<ConfigError> RosterModel::remove(int row, Prompter& prompter) {
    if (!m_canChange) {
        return std::nullopt;
    }
    if (!validRow(row)) {
        prompter.inform(QStringLiteral("Delete"), QStringLiteral("Select name from list to delete"),
                        Icon::Information);
        return std::nullopt;
    }
    const Answer answer = prompter.ask(
        QStringLiteral("Delete Racer"),
        QStringLiteral("Delete ") + m_entries[row] + QStringLiteral("?"), Icon::Question, true);
    if (answer != Answer::Yes) {
        return std::nullopt;
    }
    QStringList changed = m_entries;
    changed.removeAt(row);
    if (auto error = saveRoster(m_path, changed)) {
        return error;
    }
    m_entries = changed;
    return std::nullopt;
}

}  // namespace lapdeck
