#include "SoundMixer.h"

#include <algorithm>
#include <cmath>

#include <QtEndian>

namespace lapdeck {

SoundMixer::SoundMixer(size_t voices, int rate) : m_rate(rate), m_voices(voices) {}

bool SoundMixer::start(Wave wave, ChannelGains gains, uint32_t tag) {
    if (!wave) {
        return false;
    }
    return push({std::move(wave), gains, tag});
}

bool SoundMixer::stop(uint32_t tag) {
    return tag != 0 && push({nullptr, {}, tag});
}

bool SoundMixer::push(Command command) {
    const uint64_t written = m_written.load(std::memory_order_relaxed);
    if (written - m_read.load(std::memory_order_acquire) == m_commands.size()) {
        return false;
    }
    m_commands[written % m_commands.size()] = std::move(command);
    m_written.store(written + 1, std::memory_order_release);
    return true;
}

void SoundMixer::carryOut(Command& command) {
    if (!command.wave) {
        for (Voice& voice : m_voices) {
            if (voice.tag == command.tag) {
                voice = {};
            }
        }
        return;
    }
    if (m_voices.empty()) {
        return;
    }
    const size_t voice = pickVoice();
    m_voices[voice] = {std::move(command.wave), 0, command.gains, command.tag, ++m_starts};
    m_next = voice;
}

size_t SoundMixer::pickVoice() const {
    const size_t count = m_voices.size();
    for (size_t i = 0; i < count; ++i) {
        const size_t candidate = (m_next + i) % count;
        if (!m_voices[candidate].wave) {
            return candidate;
        }
    }
    size_t oldest = 0;
    for (size_t i = 1; i < count; ++i) {
        if (m_voices[i].startedAt < m_voices[oldest].startedAt) {
            oldest = i;
        }
    }
    return oldest;
}

void SoundMixer::mix(int16_t* out, int64_t frames) {
    uint64_t read = m_read.load(std::memory_order_relaxed);
    while (read != m_written.load(std::memory_order_acquire)) {
        Command command = std::move(m_commands[read % m_commands.size()]);
        m_read.store(++read, std::memory_order_release);
        carryOut(command);
    }
    m_sum.assign(static_cast<size_t>(frames) * 2, 0.0);
    for (Voice& voice : m_voices) {
        if (!voice.wave) {
            continue;
        }
        const int64_t total = voice.wave->frames.size() / 4;
        const int64_t count = std::min(frames, total - voice.at);
        const char* in = voice.wave->frames.constData() + voice.at * 4;
        for (int64_t i = 0; i < count; ++i) {
            m_sum[static_cast<size_t>(2 * i)] +=
                qFromLittleEndian<qint16>(in + 4 * i) * voice.gains.left;
            m_sum[static_cast<size_t>(2 * i + 1)] +=
                qFromLittleEndian<qint16>(in + 4 * i + 2) * voice.gains.right;
        }
        voice.at += count;
        if (voice.at >= total) {
            voice = {};
        }
    }
    for (size_t k = 0; k < m_sum.size(); ++k) {
        out[k] = static_cast<int16_t>(std::clamp(std::lround(m_sum[k]), -32768L, 32767L));
    }
    m_mixed.fetch_add(frames, std::memory_order_relaxed);
}

std::map<QString, SoundMixer::Wave> readCues(const QStringList& files,
                                             const std::function<QString(const QString&)>& locate,
                                             const std::function<void(const QString&)>& report) {
    std::map<QString, SoundMixer::Wave> cues;
    for (const QString& file : files) {
        const QString path = locate(file);
        const std::optional<WaveData> wave = readWaveFile(path);
        if (!wave) {
            report(QStringLiteral("Error can't find file: ") + path);
            continue;
        }
        cues.emplace(file, std::make_shared<const WaveData>(*wave));
    }
    return cues;
}

int mixingRate(const std::map<QString, SoundMixer::Wave>& cues) {
    int rate = 22050;
    for (const auto& [file, wave] : cues) {
        rate = std::max(rate, wave->sampleRate);
    }
    return rate;
}

}  // namespace lapdeck
