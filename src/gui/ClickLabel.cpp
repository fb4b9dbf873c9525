#include "ClickLabel.h"

#include <QMouseEvent>

namespace lapdeck {

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked();
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved();
    QLabel::mouseMoveEvent(event);
}

}  // namespace lapdeck
