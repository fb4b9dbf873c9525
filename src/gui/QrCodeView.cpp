#include "QrCodeView.h"

#include <algorithm>

#include <QPainter>
#include <QScreen>

namespace lapdeck {
namespace {

constexpr int kQuietModules = 4;
constexpr double kWantedCm = 18.0;
constexpr int kSmallest = 240;
// For the rest of a window around the code: its title, a line of text, a row of buttons.
constexpr int kRoomAround = 200;

}  // namespace

QrCodeView::QrCodeView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(kSmallest, kSmallest);
}

void QrCodeView::setCode(std::optional<QrMatrix> code, const QString& hint) {
    m_code = std::move(code);
    m_hint = hint;
    update();
}

int QrCodeView::moduleSide() const {
    if (!m_code || m_code->size <= 0) {
        return 0;
    }
    return std::min(width(), height()) / (m_code->size + 2 * kQuietModules);
}

QSize QrCodeView::sizeHint() const {
    const QScreen* s = screen();
    int side = kSmallest;
    if (s != nullptr) {
        const int wanted = static_cast<int>(kWantedCm / 2.54 * s->physicalDotsPerInch());
        side = std::max(kSmallest, std::min(wanted, s->availableGeometry().height() - kRoomAround));
    }
    return {side, side};
}

void QrCodeView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int module = moduleSide();
    if (module == 0) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect().adjusted(16, 16, -16, -16), Qt::AlignCenter | Qt::TextWordWrap,
                         m_hint);
        return;
    }
    const int modules = m_code->size + 2 * kQuietModules;
    const int side = module * modules;
    const QPoint origin((width() - side) / 2, (height() - side) / 2);
    painter.fillRect(QRect(origin, QSize(side, side)), Qt::white);
    for (int y = 0; y < m_code->size; ++y) {
        for (int x = 0; x < m_code->size; ++x) {
            if (m_code->isDark(x, y)) {
                painter.fillRect(origin.x() + (x + kQuietModules) * module,
                                 origin.y() + (y + kQuietModules) * module, module, module,
                                 Qt::black);
            }
        }
    }
}

}  // namespace lapdeck
