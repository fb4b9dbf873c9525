#pragma once

#include <cstdint>

#include <QColor>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
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

// The "&OK" and "&Cancel" buttons of a dialog, at the right of a row of their own.
inline QHBoxLayout* okCancelRow(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel) {
    ok = new QPushButton(QStringLiteral("&OK"), dialog);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("&Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace lapdeck
