#pragma once

#include <QDialog>
#include <QTimer>

#include "StartSequence.h"

class QPushButton;

namespace lapdeck {

class ClickLabel;

// The start-delay countdown: big red digits on blue, one step a second. It closes
// after 0 or when skipped; the caller then shows the start lights.
class frmVx9Countdown : public QDialog {
    Q_OBJECT

public:
    frmVx9Countdown(int startDelay, QWidget* parent = nullptr);

    ClickLabel* lblCountDown = nullptr;
    QPushButton* cmdSkip = nullptr;
    QTimer tmrCountDown;

    // The one-second step (the timer's slot; tests call it directly).
    void tmrCountDown_Timer();
    // Skip button, a click on the window or on the digits.
    void skip();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    CountdownSteps m_steps;
};

}  // namespace lapdeck
