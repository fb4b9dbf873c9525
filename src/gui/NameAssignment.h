#pragma once

#include <vector>

#include <QString>
#include <QStringList>

#include "RaceState.h"

namespace lapdeck {

// The rules of assigning racers to flags with the name pickers, apart from the
// widgets. Captions are the name cells' texts, rows 1..6 (row i = flag i when idle).

// Rows other than `row` that already show `picked` (" " + picked); rows showing
// " Empty" never count. One warning is given per row returned.
std::vector<int> rowsAlreadyNamed(const PerFlag<QString>& captions, int row, const QString& picked);

// The names to store after a pick: each caption trimmed, except that a disabled
// row keeps the name it had. A row showing " Select Name" is stored as that text.
PerFlag<QString> namesToStore(const PerFlag<QString>& captions, const PerFlag<QString>& previous);

// The entry a picker opens on: the current name when the list holds it, otherwise
// the last entry (the alphabetically last). -1 for an empty list.
int pickerStartIndex(const QStringList& entries, const QString& caption);

}  // namespace lapdeck
