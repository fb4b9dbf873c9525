#pragma once

#include "SoundLevels.h"

namespace lapdeck {

struct WaveData;

// One voice of the sound pool: plays one cue at a time, mixed with the other voices
// by the sound system.
class Voice {
public:
    virtual ~Voice() = default;
    virtual bool isPlaying() const = 0;
    // Plays `wave` from its start, cutting off whatever this voice was playing.
    virtual void play(const WaveData& wave, ChannelGains gains) = 0;
};

}  // namespace lapdeck
