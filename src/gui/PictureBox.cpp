#include "PictureBox.h"

#include <QPainter>

namespace lapdeck {

void PictureBox::setPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    ClickLabel::paintEvent(event);
    if (m_picture.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize fitted = m_picture.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    painter.drawPixmap(target, m_picture);
}

}  // namespace lapdeck
