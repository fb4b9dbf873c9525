#pragma once

#include <functional>

class QWidget;

namespace lapdeck {

class RaceEngine;
class RandomSource;
class ReportSource;
class SoundPlayer;

// Runs the start sequence between "Start" and the green light. The program shows
// the modal windows; tests give the green light at once.
class StartSequenceRunner {
public:
    virtual ~StartSequenceRunner() = default;
    virtual void run(bool withCountdown) = 0;
};

// The countdown window (when there is a start delay), then the start lights.
class ModalStartSequence : public StartSequenceRunner {
public:
    ModalStartSequence(RaceEngine& engine, SoundPlayer& sound, RandomSource& random,
                       std::function<ReportSource*()> port, std::function<void()> changed,
                       QWidget* parent);
    void run(bool withCountdown) override;

private:
    RaceEngine& m_engine;
    SoundPlayer& m_sound;
    RandomSource& m_random;
    std::function<ReportSource*()> m_port;
    std::function<void()> m_changed;
    QWidget* m_parent;
};

}  // namespace lapdeck
