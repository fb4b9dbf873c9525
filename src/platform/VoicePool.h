#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <QString>

#include "SoundPlayer.h"
#include "WaveFile.h"

namespace lapdeck {

class Voice;

// The race cues through a pool of independent voices, so that two cars crossing
// together are both heard. A cue takes the first free voice from where the last
// one started; when every voice is busy it takes over the voice that started
// first, rather than waiting for one to finish (the race tick must never wait for
// a sound).
class VoicePool : public SoundPlayer {
public:
    // The full path of a cue's wave file.
    using Locate = std::function<QString(const QString& file)>;
    // A cue that cannot be played: its message, once per file.
    using Report = std::function<void(const QString& message)>;

    VoicePool(std::vector<std::unique_ptr<Voice>> voices, Locate locate, Report report);
    ~VoicePool() override;

    void play(const QString& file, int volume, int pan) override;

private:
    const WaveData* load(const QString& file);
    size_t pickVoice();

    std::vector<std::unique_ptr<Voice>> m_voices;
    std::vector<uint64_t> m_startedAt;
    uint64_t m_starts = 0;
    size_t m_next = 0;
    Locate m_locate;
    Report m_report;
    // Each file is read once; a file that could not be read stays empty, so its
    // message is not repeated on every lap.
    std::map<QString, std::optional<WaveData>> m_waves;
};

}  // namespace lapdeck
