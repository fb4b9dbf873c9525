#include "NamePicker.h"

#include <QFocusEvent>

#include "NameAssignment.h"

namespace lapdeck {

NamePicker::NamePicker(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setMaxVisibleItems(16);
}

void NamePicker::addSorted(const QString& name) {
    insertItem(sortedInsertIndex(entries(), name), name);
}

QStringList NamePicker::entries() const {
    QStringList list;
    list.reserve(count());
    for (int i = 0; i < count(); ++i) {
        list.append(itemText(i));
    }
    return list;
}

void NamePicker::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) {
        emit focusLost();
    }
}

}  // namespace lapdeck
