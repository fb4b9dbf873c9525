#include "NameOrder.h"

#include <algorithm>
#include <vector>

#include <QLocale>

namespace lapdeck {
namespace {

QLocale collationLocale() {
    // The "C" locale collates by code point, which puts every accented name after Z.
    const QLocale system;
    return system.language() == QLocale::C ? QLocale(QLocale::English) : system;
}

}  // namespace

NameOrder::NameOrder() : m_collator(collationLocale()) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(false);
}

bool NameOrder::less(const QString& a, const QString& b) const {
    return m_collator.compare(a, b) < 0;
}

QStringList NameOrder::sorted(const QStringList& names) const {
    // One sort key per name: a large roster is compared as bytes, not collated anew
    // at every comparison.
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(static_cast<size_t>(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        keys.emplace_back(m_collator.sortKey(names[i]), i);
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    QStringList out;
    out.reserve(names.size());
    for (const auto& key : keys) {
        out.append(names[key.second]);
    }
    return out;
}

qsizetype NameOrder::insertPlace(const QStringList& sortedNames, const QString& name) const {
    const auto place =
        std::upper_bound(sortedNames.begin(), sortedNames.end(), name,
                         [this](const QString& a, const QString& b) { return less(a, b); });
    return place - sortedNames.begin();
}

}  // namespace lapdeck
