#pragma once

#include <functional>

#include <QPointer>
#include <QWidget>

namespace lapdeck {

class RaceEngine;
class RandomSource;
class ReportSource;
class SoundPlayer;

// Runs the start sequence between "Start" and the green light of `engine`'s race:
// the lights empty `port` at the green light and call `changed` after each step that
// changes the race screen. The program shows the modal windows; tests give the green
// light at once.
class StartSequenceRunner {
public:
    virtual ~StartSequenceRunner() = default;
    virtual void run(RaceEngine& engine, ReportSource* port, bool withCountdown,
                     const std::function<void()>& changed) = 0;
};

// The countdown window (when there is a start delay), then the start lights.
class ModalStartSequence : public StartSequenceRunner {
public:
    ModalStartSequence(SoundPlayer& sound, RandomSource& random);
    // The windows open over `parent`.
    void setParent(QWidget* parent) { m_parent = parent; }
    void run(RaceEngine& engine, ReportSource* port, bool withCountdown,
             const std::function<void()>& changed) override;

private:
    SoundPlayer& m_sound;
    RandomSource& m_random;
    QPointer<QWidget> m_parent;
};

}  // namespace lapdeck
