#pragma once

#include <functional>

#include <QDialog>
#include <QTimer>

#include "StartSequence.h"

namespace lapdeck {

class RaceEngine;
class RandomSource;
class ReportSource;
class SoundPlayer;

// The four start lights: red one a second, then after the random hold all green,
// when the race clock starts; the window closes a second later.
class frmFormula1 : public QDialog {
    Q_OBJECT

public:
    // `port` is emptied at the green light (may be null); `changed` is called after
    // each step that changes the race screen (green light, close).
    frmFormula1(RaceEngine& engine, SoundPlayer& sound, RandomSource& random, ReportSource* port,
                std::function<void()> changed, QWidget* parent = nullptr);

    QTimer tmrRandom;

    // The one-second step (the timer's slot; tests call it directly).
    void tmrRandom_Timer();
    const StartLightSteps& steps() const { return m_steps; }
    // Colour light `index` (0..3, Shape1(index)) is drawn in.
    QColor lightColour(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    RaceEngine& m_engine;
    SoundPlayer& m_sound;
    ReportSource* m_port;
    std::function<void()> m_changed;
    StartLightSteps m_steps;
    bool m_finished = false;
};

}  // namespace lapdeck
