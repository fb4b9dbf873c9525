#pragma once

#include <cstdint>

#include <QColor>
#include <QLabel>
#include <QWidget>

namespace lapdeck {

// A colour number of the settings files (red + 256 × green + 65536 × blue).
inline QColor colourOf(int32_t number) {
    return QColor(number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF);
}

inline void setFontSize(QWidget* widget, double points, bool bold) {
    QFont font = widget->font();
    font.setPointSizeF(points);
    font.setBold(bold);
    widget->setFont(font);
}

inline void setColours(QWidget* widget, QColor back, QColor text) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, back);
    pal.setColor(QPalette::WindowText, text);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

// Labels redrawn every tick only repaint when their text really changes.
inline void setTextIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text) {
        label->setText(text);
    }
}

// Black or white, whichever reads better on `back`.
inline QColor textColourOn(QColor back) {
    return back.lightnessF() < 0.45 ? Qt::white : Qt::black;
}

}  // namespace lapdeck
