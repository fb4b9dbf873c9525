#include "NamePicker.h"

#include <algorithm>

#include <QEvent>
#include <QFocusEvent>
#include <QListView>
#include <QMouseEvent>
#include <QScreen>
#include <QStyledItemDelegate>

namespace lapdeck {
namespace {

// Names up to this long fit the list's width; longer ones get a tooltip.
constexpr qsizetype kShortName = 24;

}  // namespace

NamePicker::NamePicker(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setMaxVisibleItems(16);
    // A club's whole roster may be thousands of names: neither the box nor its list
    // measures every entry.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* list = qobject_cast<QListView*>(view())) {
        list->setUniformItemSizes(true);
    }
    // A plain delegate: the menu-style one of some styles clips a long name instead
    // of ending it in "…".
    setItemDelegate(new QStyledItemDelegate(this));
    view()->setTextElideMode(Qt::ElideRight);
}

void NamePicker::setEntries(const QStringList& entries) {
    clear();
    addItems(entries);
    // Only a long name can be cut short in the list; it shows whole on hovering.
    for (int i = 0; i < count(); ++i) {
        if (entries[i].size() > kShortName) {
            setItemData(i, entries[i], Qt::ToolTipRole);
        }
    }
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
    // Qt widens the list to its longest name; a 200-character one would cover the
    // race screen. A third of the screen, or the name cell where that is wider.
    const QRect screen = popup->screen()->availableGeometry();
    const int widest = std::max(width(), screen.width() / 3);
    if (popup->width() > widest) {
        QRect place = popup->geometry();
        const int left =
            std::clamp(mapToGlobal(QPoint(0, 0)).x(), screen.left(), screen.right() + 1 - widest);
        place.setWidth(widest);
        place.moveLeft(left);
        popup->setGeometry(place);
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
