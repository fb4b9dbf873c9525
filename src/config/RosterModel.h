#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "ConfigError.h"
#include "NameOrder.h"
#include "RaceHost.h"

namespace lapdeck {

// First letter of each blank-separated word upper case, every other letter lower
// case: "anne marie" -> "Anne Marie", "McRae" -> "Mcrae".
QString properCase(const QString& name);

// The entries of a name picker: the roster names read from rcRacers.dat plus
// "Empty", each at its alphabetical place (NameOrder).
QStringList namePickerEntries(const QStringList& rosterNames, const NameOrder& order = {});

// Why a name cannot be a racer's: the race screen's own words for a lane with no
// racer ("Select Name", "Empty", "Disabled") in any case. Nothing for a good name.
std::optional<QString> screenWordRefusal(const QString& name);
// Why a name is too long to be a racer's (over kMaxNameLength characters).
std::optional<QString> lengthRefusal(const QString& name);
// Takes the screen's words and the names too long out of a roster read from a
// file; the message says which were left out (empty when none was).
QString leaveOutRefusedNames(QStringList& names, const QString& fileName);

// The racer roster behind the roster dialog: a list kept in alphabetical order
// ignoring case, and rcRacers.dat, which changes with every add, rename and
// delete. The dialog asks for names (input boxes) and passes them in; the
// messages and the delete question go through the Prompter.
class RosterModel {
public:
    explicit RosterModel(QString rosterPath);

    // Reads the file (Form_Load). A missing, unreadable or refused file leaves the
    // list empty and is returned for the dialog to show.
    std::optional<ConfigError> load();
    // False after a file that exists could not be read or was refused: adding,
    // renaming and deleting would overwrite what is in it, so they do nothing.
    bool canChange() const { return m_canChange; }

    const QStringList& entries() const { return m_entries; }
    // "Total number of Racers: N"
    QString countCaption() const;

    // cmdAdd_Click with the input box's answer (empty for Cancel). The name is
    // trimmed and put in proper case; an entry equal to it gives "... already
    // exists" and nothing changes. The name takes its alphabetical place in the
    // list and is appended to the file.
    std::optional<ConfigError> add(const QString& input, Prompter& prompter);

    // A typed name the roster cannot take is refused with a message saying why.
    bool acceptable(const QString& input, Prompter& prompter) const;

    // Before the rename input box: with no row selected (row -1) shows "Select
    // name from list to modify" and returns false.
    bool checkModifySelection(int row, Prompter& prompter) const;
    // cmdModify_Click's end: a non-empty answer, in proper case, replaces the entry
    // in its place (no re-sort, no trim, no duplicate check); the file is rewritten
    // in list order in any case.
    std::optional<ConfigError> modify(int row, const QString& input);

    // cmdDelete_Click: checks the selection, asks "Delete NAME?" (No is the
    // default), removes the entry and rewrites the file in list order.
    std::optional<ConfigError> remove(int row, Prompter& prompter);

private:
    bool validRow(int row) const { return row >= 0 && row < m_entries.size(); }
    qsizetype sortedPlace(const QString& name) const;

    QString m_path;
    QStringList m_entries;
    NameOrder m_order;
    bool m_canChange = true;
};

}  // namespace lapdeck
