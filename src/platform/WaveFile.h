#pragma once

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QString>

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

// The same sound at another sample rate (linear interpolation): the mixer plays
// every wave at its output's rate.
WaveData resampled(const WaveData& wave, int rate);
// How long the wave plays, in whole milliseconds.
int64_t durationMs(const WaveData& wave);

}  // namespace lapdeck
