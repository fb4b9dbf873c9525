#pragma once

#include <QPixmap>

#include "ClickLabel.h"

namespace lapdeck {

// The race screen's picture box: the picture fitted into the box with its shape
// kept, whatever size the window scales the box to.
class PictureBox : public ClickLabel {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr) : ClickLabel(parent) {}

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

}  // namespace lapdeck
