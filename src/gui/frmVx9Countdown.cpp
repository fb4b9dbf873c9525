#include "frmVx9Countdown.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "ClickLabel.h"

namespace lapdeck {

frmVx9Countdown::frmVx9Countdown(int startDelay, QWidget* parent)
    : QDialog(parent), m_steps(startDelay) {
    setObjectName(QStringLiteral("frmVx9Countdown"));
    setWindowTitle(QStringLiteral("  Lapvane Vx9 Timer Delay"));
    setModal(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 255));
    setPalette(pal);

    lblCountDown = new ClickLabel(this);
    lblCountDown->setObjectName(QStringLiteral("lblCountDown"));
    lblCountDown->setAlignment(Qt::AlignCenter);
    lblCountDown->setToolTip(
        QStringLiteral("To skip delay, click form or press \"Enter\" or \"Space bar\"."));
    QFont digits = lblCountDown->font();
    digits.setPointSize(72);
    digits.setBold(true);
    lblCountDown->setFont(digits);
    QPalette red = lblCountDown->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    lblCountDown->setPalette(red);
    lblCountDown->setMinimumSize(260, 140);

    cmdSkip = new QPushButton(QStringLiteral("Skip Delay"), this);
    cmdSkip->setObjectName(QStringLiteral("cmdSkip"));
    cmdSkip->setDefault(true);
    cmdSkip->setAutoDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCountDown, 1);
    layout->addWidget(cmdSkip, 0, Qt::AlignHCenter);

    connect(cmdSkip, &QPushButton::clicked, this, &frmVx9Countdown::skip);
    connect(lblCountDown, &ClickLabel::clicked, this, &frmVx9Countdown::skip);
    // Closing the window by its close box or Escape counts as a skip: the caller
    // goes on to the lights, so the race is never left half started.
    tmrCountDown.setInterval(1000);
    connect(&tmrCountDown, &QTimer::timeout, this, &frmVx9Countdown::tmrCountDown_Timer);
    tmrCountDown.start();
    cmdSkip->setFocus();
}

void frmVx9Countdown::tmrCountDown_Timer() {
    const bool done = m_steps.tick();
    lblCountDown->setText(m_steps.digits());
    if (done) {
        tmrCountDown.stop();
        accept();
    }
}

void frmVx9Countdown::skip() {
    tmrCountDown.stop();
    accept();
}

void frmVx9Countdown::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        skip();
        return;
    }
    QDialog::mousePressEvent(event);
}

}  // namespace lapdeck
