#include "NameAssignment.h"

namespace lapdeck {

std::vector<int> rowsAlreadyNamed(const PerFlag<FlagName>& names, int flag, const QString& picked) {
    std::vector<int> rows;
    const FlagName shown = flagNameOf(false, picked);
    for (int k = 1; k <= kFlags; ++k) {
        if (k == flag || names[k].state == NameState::Empty) {
            continue;
        }
        if (names[k] == shown) {
            rows.push_back(k);
        }
    }
    return rows;
}

PerFlag<QString> namesToStore(const PerFlag<FlagName>& names, const PerFlag<QString>& previous) {
    PerFlag<QString> stored = previous;
    for (int k = 1; k <= kFlags; ++k) {
        if (names[k].state != NameState::Disabled) {
            stored[k] = names[k].stored();
        }
    }
    return stored;
}

int pickerStartIndex(const QStringList& entries, const QString& caption) {
    const QString current = caption.trimmed();
    for (int j = 0; j < entries.size(); ++j) {
        if (!entries[j].isEmpty() && entries[j] == current) {
            return j;
        }
    }
    return static_cast<int>(entries.size()) - 1;
}

}  // namespace lapdeck
