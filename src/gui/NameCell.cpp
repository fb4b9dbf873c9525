#include "NameCell.h"

#include <algorithm>

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace lapdeck {

NameCell::NameCell(QWidget* parent) : ClickLabel(parent) {}

QRect NameCell::textRect() const {
    const int inset = frameWidth() + std::max(margin(), fontMetrics().averageCharWidth() / 4);
    return rect().adjusted(inset, 0, -inset, 0);
}

QString NameCell::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, textRect().width());
}

QString NameCell::toolTipText() const {
    if (!isElided()) {
        return toolTip();
    }
    const QString name = text().trimmed();
    return toolTip().isEmpty() ? name : name + QLatin1Char('\n') + toolTip();
}

void NameCell::paintEvent(QPaintEvent* event) {
    // The frame as a label draws it; the text cut to the space inside it.
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(textRect(), static_cast<int>(alignment()), shownText());
}

bool NameCell::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && isElided()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), toolTipText(), this);
        return true;
    }
    return ClickLabel::event(event);
}

}  // namespace lapdeck
