#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

#include "SoundLevels.h"

namespace lapdeck {

// A cue ready to play: 16-bit stereo frames, little-endian, at its own sample rate.
struct WaveData {
    int sampleRate = 0;
    QByteArray frames;
};

// Reads a RIFF wave file of PCM samples: 8 or 16 bits, mono or stereo (mono is
// doubled, 8-bit widened). Anything else, or a broken file, gives nothing.
std::optional<WaveData> parseWave(const QByteArray& bytes);
std::optional<WaveData> readWaveFile(const QString& path);

// The frames with each channel multiplied by its gain.
QByteArray withGains(const WaveData& wave, ChannelGains gains);

}  // namespace lapdeck
