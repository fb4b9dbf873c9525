#pragma once

#include <QCollator>
#include <QString>
#include <QStringList>

namespace lapdeck {

// Racer names in the order a person looks them up: case ignored, an accented letter
// beside its plain one ("Émile" next to "Eva", not after "Zoe"). Equal names keep
// the order they came in, as a sorted list box puts a new entry after its equals.
class NameOrder {
public:
    // The rules of the system's language; English where the system names none.
    NameOrder();

    bool less(const QString& a, const QString& b) const;
    // The names sorted, equal ones in their given order.
    QStringList sorted(const QStringList& names) const;
    // Where `name` goes in a list already in this order: after every entry not
    // greater than it.
    qsizetype insertPlace(const QStringList& sortedNames, const QString& name) const;

private:
    QCollator m_collator;
};

}  // namespace lapdeck
