#include "NameAssignment.h"

#include "ScreenTexts.h"

namespace lapdeck {

namespace {
using captions::kDisabled;
using captions::kEmpty;
}  // namespace

std::vector<int> rowsAlreadyNamed(const PerFlag<QString>& captions, int row,
                                  const QString& picked) {
    std::vector<int> rows;
    const QString shown = QLatin1Char(' ') + picked;
    for (int k = 1; k <= kFlags; ++k) {
        if (k == row || captions[k] == kEmpty) {
            continue;
        }
        if (captions[k] == shown) {
            rows.push_back(k);
        }
    }
    return rows;
}

PerFlag<QString> namesToStore(const PerFlag<QString>& captions, const PerFlag<QString>& previous) {
    PerFlag<QString> names = previous;
    for (int k = 1; k <= kFlags; ++k) {
        if (captions[k] != kDisabled) {
            names[k] = captions[k].trimmed();
        }
    }
    return names;
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
