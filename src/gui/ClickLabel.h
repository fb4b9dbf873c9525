#pragma once

#include <QLabel>

namespace lapdeck {

// A label that reports clicks and pointer movement, for the clickable cells and
// headers of the race screen (their pointer and tooltip change as the mouse moves).
class ClickLabel : public QLabel {
    Q_OBJECT

public:
    explicit ClickLabel(QWidget* parent = nullptr);

signals:
    void clicked();
    void mouseMoved();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

}  // namespace lapdeck
