#pragma once

#include <QString>

namespace lapdeck {

struct WaveData;

// Plays a wave file of the data folder once: volume and pan in percent (pan 50 is
// the centre). The race cues go through this, and so does the spoken callout.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString& file, int volume, int pan) = 0;
    // A wave made while running (a callout), once, at full level in the centre; it
    // cuts off the one before if that still plays.
    virtual void playSpeech(const WaveData& wave) { (void)wave; }
    virtual void cutSpeech() {}
};

// For machines without a sound device, and for tests.
class SilentSound : public SoundPlayer {
public:
    void play(const QString& file, int volume, int pan) override {
        (void)file;
        (void)volume;
        (void)pan;
    }
};

}  // namespace lapdeck
