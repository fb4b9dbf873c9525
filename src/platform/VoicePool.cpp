#include "VoicePool.h"

#include "Voice.h"

namespace lapdeck {

VoicePool::VoicePool(std::vector<std::unique_ptr<Voice>> voices, Locate locate, Report report)
    : m_voices(std::move(voices)),
      m_startedAt(m_voices.size(), 0),
      m_locate(std::move(locate)),
      m_report(std::move(report)) {}

VoicePool::~VoicePool() = default;

void VoicePool::play(const QString& file, int volume, int pan) {
    const WaveData* wave = load(file);
    if (wave == nullptr || m_voices.empty()) {
        return;
    }
    const size_t voice = pickVoice();
    m_voices[voice]->play(*wave, channelGains(volume, pan));
    m_startedAt[voice] = ++m_starts;
    m_next = voice;
}

const WaveData* VoicePool::load(const QString& file) {
    auto found = m_waves.find(file);
    if (found == m_waves.end()) {
        const QString path = m_locate(file);
        found = m_waves.emplace(file, readWaveFile(path)).first;
        if (!found->second && m_report) {
            m_report(QStringLiteral("Error can't find file: ") + path);
        }
    }
    return found->second ? &*found->second : nullptr;
}

size_t VoicePool::pickVoice() {
    const size_t count = m_voices.size();
    for (size_t i = 0; i < count; ++i) {
        const size_t candidate = (m_next + i) % count;
        if (!m_voices[candidate]->isPlaying()) {
            return candidate;
        }
    }
    size_t oldest = 0;
    for (size_t i = 1; i < count; ++i) {
        if (m_startedAt[i] < m_startedAt[oldest]) {
            oldest = i;
        }
    }
    return oldest;
}

}  // namespace lapdeck
