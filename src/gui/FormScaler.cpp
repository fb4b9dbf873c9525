#include "FormScaler.h"

#include <algorithm>
#include <cmath>

#include <QEvent>
#include <QWidget>

namespace lapdeck {

FormScaler::FormScaler(QWidget* form, QSize designSize)
    : QObject(form), m_form(form), m_designSize(designSize) {
    form->installEventFilter(this);
}

void FormScaler::capture() {
    m_designs.clear();
    const auto children = m_form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child->isWindow()) {
            continue;
        }
        m_designs.insert(child, Design{child, child->geometry(), child->font().pointSizeF()});
    }
    rescale();
}

void FormScaler::setDesignGeometry(QWidget* child, QRect designRect) {
    auto it = m_designs.find(child);
    if (it == m_designs.end()) {
        it = m_designs.insert(child, Design{child, designRect, child->font().pointSizeF()});
    }
    it->rect = designRect;
    child->setGeometry(scaled(designRect));
}

QRect FormScaler::designGeometry(QWidget* child) const {
    const auto it = m_designs.constFind(child);
    return it == m_designs.constEnd() ? QRect() : it->rect;
}

QRect FormScaler::scaled(QRect r) const {
    // Scale the edges, not the sizes, so neighbouring cells stay flush.
    const int left = static_cast<int>(std::lround(r.left() * m_sx));
    const int top = static_cast<int>(std::lround(r.top() * m_sy));
    const int right = static_cast<int>(std::lround((r.left() + r.width()) * m_sx));
    const int bottom = static_cast<int>(std::lround((r.top() + r.height()) * m_sy));
    return QRect(left, top, std::max(1, right - left), std::max(1, bottom - top));
}

void FormScaler::rescale() {
    const QSize size = m_form->size();
    if (m_designSize.isEmpty() || size.isEmpty()) {
        return;
    }
    m_sx = static_cast<double>(size.width()) / m_designSize.width();
    m_sy = static_cast<double>(size.height()) / m_designSize.height();
    m_fontFactor = std::min(m_sx, m_sy);
    for (auto it = m_designs.begin(); it != m_designs.end(); ++it) {
        QWidget* w = it->widget;
        if (w == nullptr) {
            continue;
        }
        w->setGeometry(scaled(it->rect));
        if (it->pointSize > 0) {
            QFont font = w->font();
            const double points = std::max(4.0, it->pointSize * m_fontFactor);
            if (std::abs(font.pointSizeF() - points) > 0.01) {
                font.setPointSizeF(points);
                w->setFont(font);
            }
        }
    }
}

bool FormScaler::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_form && event->type() == QEvent::Resize) {
        rescale();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace lapdeck
