#include "WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <QFile>

namespace lapdeck {
namespace {

// A cue is a few seconds; a larger file is not one of ours and is not read whole.
constexpr qint64 kMaxWaveBytes = 16 * 1024 * 1024;

uint32_t le32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return u[0] | (u[1] << 8) | (u[2] << 16) | (static_cast<uint32_t>(u[3]) << 24);
}

uint16_t le16(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint16_t>(u[0] | (u[1] << 8));
}

// Straight into the array's bytes: a callout is some 100,000 samples, made while
// the race runs.
void putSample(char* at, int value) {
    const int v = std::clamp(value, -32768, 32767);
    at[0] = static_cast<char>(v & 0xFF);
    at[1] = static_cast<char>((v >> 8) & 0xFF);
}

}  // namespace

std::optional<WaveData> parseWave(const QByteArray& bytes) {
    if (bytes.size() < 12 || std::memcmp(bytes.constData(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.constData() + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    int format = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    const char* data = nullptr;
    qint64 dataSize = 0;
    qint64 pos = 12;
    while (pos + 8 <= bytes.size()) {
        const char* chunk = bytes.constData() + pos;
        const qint64 size = le32(chunk + 4);
        const qint64 body = pos + 8;
        const qint64 available = std::min<qint64>(size, bytes.size() - body);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && available >= 16) {
            format = le16(chunk + 8);
            channels = le16(chunk + 10);
            rate = static_cast<int>(std::min<uint32_t>(le32(chunk + 12), 1'000'000));
            bits = le16(chunk + 22);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            data = bytes.constData() + body;
            dataSize = available;  // a file cut short plays what it holds
        }
        pos = body + size + (size & 1);
    }
    if (format != 1 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) ||
        rate < 1000 || rate > 192000 || data == nullptr) {
        return std::nullopt;
    }
    const qint64 bytesPerSample = bits / 8;
    const qint64 frames = dataSize / (bytesPerSample * channels);
    WaveData wave;
    wave.sampleRate = rate;
    wave.frames = QByteArray(static_cast<qsizetype>(frames * 4), '\0');
    char* out = wave.frames.data();
    for (qint64 i = 0; i < frames; ++i) {
        int sample[2] = {0, 0};
        for (int c = 0; c < channels; ++c) {
            const char* p = data + (i * channels + c) * bytesPerSample;
            sample[c] = bits == 16 ? static_cast<int16_t>(le16(p))
                                   : (static_cast<unsigned char>(*p) - 128) * 256;
        }
        if (channels == 1) {
            sample[1] = sample[0];
        }
        putSample(out + i * 4, sample[0]);
        putSample(out + i * 4 + 2, sample[1]);
    }
    return wave;
}

std::optional<WaveData> readWaveFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxWaveBytes) {
        return std::nullopt;
    }
    return parseWave(file.readAll());
}

WaveData resampled(const WaveData& wave, int rate) {
    const qsizetype frames = wave.frames.size() / 4;
    if (wave.sampleRate == rate || frames == 0 || wave.sampleRate <= 0 || rate <= 0) {
        return {rate, wave.frames.left(frames * 4)};
    }
    const qsizetype outFrames =
        static_cast<qsizetype>(static_cast<int64_t>(frames) * rate / wave.sampleRate);
    WaveData out{rate, QByteArray(outFrames * 4, '\0')};
    const double step = static_cast<double>(wave.sampleRate) / rate;
    const char* in = wave.frames.constData();
    char* to = out.frames.data();
    for (qsizetype i = 0; i < outFrames; ++i) {
        const double at = static_cast<double>(i) * step;
        const qsizetype a = std::min(static_cast<qsizetype>(at), frames - 1);
        const qsizetype b = std::min(a + 1, frames - 1);
        const double t = at - static_cast<double>(a);
        for (qsizetype c = 0; c < 2; ++c) {
            const int sa = static_cast<int16_t>(le16(in + a * 4 + c * 2));
            const int sb = static_cast<int16_t>(le16(in + b * 4 + c * 2));
            putSample(to + i * 4 + c * 2, static_cast<int>(std::lround(sa + (sb - sa) * t)));
        }
    }
    return out;
}

int64_t durationMs(const WaveData& wave) {
    return wave.sampleRate > 0
               ? static_cast<int64_t>(wave.frames.size() / 4) * 1000 / wave.sampleRate
               : 0;
}

}  // namespace lapdeck
