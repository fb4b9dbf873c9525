#pragma once

#include <vector>

#include <QString>
#include <QStringList>

#include "RaceState.h"

namespace lapdeck {

// The rules of assigning racers to flags with the name pickers, apart from the
// widgets. Names are by flag (the rows of the idle screen).

// Flags other than `flag` whose name is already `picked`; a pick of "Empty" never
// warns. One warning is given per flag returned.
std::vector<int> rowsAlreadyNamed(const PerFlag<FlagName>& names, int flag, const QString& picked);

// The names to store after a pick: each flag's name as Racers.dat keeps it, except
// that a disabled flag keeps the name it had. A flag without a racer is stored as
// "Select Name".
PerFlag<QString> namesToStore(const PerFlag<FlagName>& names, const PerFlag<QString>& previous);

// The entry a picker opens on: the current name when the list holds it, otherwise
// the last entry (the alphabetically last). -1 for an empty list.
int pickerStartIndex(const QStringList& entries, const QString& caption);

}  // namespace lapdeck
