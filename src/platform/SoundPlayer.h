#pragma once

#include <QString>

namespace lapdeck {

// Plays a wave file of the data folder once: volume and pan in percent (pan 50 is
// the centre). The race cues go through this.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString& file, int volume, int pan) = 0;
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
