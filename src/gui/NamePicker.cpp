#include "NamePicker.h"

#include <QEvent>
#include <QFocusEvent>
#include <QListView>
#include <QMouseEvent>

namespace lapdeck {

NamePicker::NamePicker(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setMaxVisibleItems(16);
    // A club's whole roster may be thousands of names: neither the box nor its list
    // measures every entry.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* list = qobject_cast<QListView*>(view())) {
        list->setUniformItemSizes(true);
    }
}

void NamePicker::setEntries(const QStringList& entries) {
    clear();
    addItems(entries);
}

QStringList NamePicker::entries() const {
    QStringList list;
    list.reserve(count());
    for (int i = 0; i < count(); ++i) {
        list.append(itemText(i));
    }
    return list;
}

void NamePicker::showPopup() {
    QComboBox::showPopup();
    QWidget* popup = view()->window();
    if (popup == window()) {
        return;
    }
    // Whether Qt passes the click that closes a list on to the widget under it
    // depends on the platform and on whether the pointer could be grabbed; under X
    // it mostly did not, so a click on another name cell only closed the list. The
    // click is never passed on; pressedOutside() lets the window act on it.
    popup->setAttribute(Qt::WA_NoMouseReplay);
    popup->removeEventFilter(this);
    popup->installEventFilter(this);
}

bool NamePicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view()->window()) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* press = static_cast<QMouseEvent*>(event);
            const QPoint global = press->globalPosition().toPoint();
            if (!view()->window()->geometry().contains(global)) {
                emit pressedOutside(global);
            }
        } else if (event->type() == QEvent::Hide) {
            emit popupClosed();
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void NamePicker::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    // Opening the list moves the focus into it; that is no leaving.
    if (event->reason() != Qt::PopupFocusReason && !view()->isVisible()) {
        emit focusLost();
    }
}

}  // namespace lapdeck
