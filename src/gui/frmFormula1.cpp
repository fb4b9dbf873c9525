#include "frmFormula1.h"

#include <algorithm>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "RaceEngine.h"
#include "SoundPlayer.h"

namespace lapdeck {

frmFormula1::frmFormula1(RaceEngine& engine, SoundPlayer& sound, RandomSource& random,
                         ReportSource* port, std::function<void()> changed, QWidget* parent)
    : QDialog(parent),
      m_engine(engine),
      m_sound(sound),
      m_port(port),
      m_changed(std::move(changed)),
      m_steps(StartLightSteps::drawHold(random)) {
    setObjectName(QStringLiteral("frmFormula1"));
    setWindowTitle(QString());
    setModal(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 255));
    setPalette(pal);
    resize(420, 130);

    m_sound.play(QStringLiteral("getready.wav"), 100, 50);
    tmrRandom.setInterval(1000);
    connect(&tmrRandom, &QTimer::timeout, this, &frmFormula1::tmrRandom_Timer);
    tmrRandom.start();
}

void frmFormula1::tmrRandom_Timer() {
    switch (m_steps.tick()) {
        case StartLightSteps::Action::RedLight:
            update();
            break;
        case StartLightSteps::Action::Green:
            m_sound.play(QStringLiteral("go.wav"), 100, 50);
            update();
            m_engine.greenLight(m_port);
            if (m_changed) {
                m_changed();
            }
            break;
        case StartLightSteps::Action::Close:
            tmrRandom.stop();
            m_finished = true;
            accept();
            m_engine.startSequenceClosed();
            if (m_changed) {
                m_changed();
            }
            break;
        case StartLightSteps::Action::None:
            break;
    }
}

QColor frmFormula1::lightColour(int index) const {
    switch (m_steps.lights()[static_cast<size_t>(index)]) {
        case StartLightSteps::Light::Red:
            return QColor(255, 0, 0);
        case StartLightSteps::Light::Green:
            return QColor(0, 255, 0);
        case StartLightSteps::Light::Dark:
            break;
    }
    return QColor(30, 30, 30);
}

void frmFormula1::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double cell = width() / 4.0;
    const double diameter = std::min(cell * 0.75, height() * 0.8);
    for (int i = 0; i < 4; ++i) {
        const double cx = cell * (i + 0.5);
        const double cy = height() / 2.0;
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(lightColour(i));
        p.drawEllipse(QPointF(cx, cy), diameter / 2, diameter / 2);
    }
}

void frmFormula1::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_steps.click();
        return;
    }
    QDialog::mousePressEvent(event);
}

// The lights cannot be called off once they run: the start goes ahead.
void frmFormula1::closeEvent(QCloseEvent* event) {
    if (!m_finished) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmFormula1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace lapdeck
