#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

#include "SoundLevels.h"
#include "WaveFile.h"

namespace lapdeck {

// The voices of the race sound, added into one output stream. Cues are started
// from the window's thread and mixed on the output's: a start is handed over
// through a ring of commands, so the race tick never waits for the output.
// A cue takes the first free voice from where the last one started; when every
// voice is busy it takes over the voice that started first.
class SoundMixer {
public:
    using Wave = std::shared_ptr<const WaveData>;

    // Every wave given to start() must be at `rate`.
    SoundMixer(size_t voices, int rate);

    int rate() const { return m_rate; }

    // From the window's thread; takes effect at the next mix(). `tag` names the
    // voice for stop() (0: none). False when the output has stopped taking them.
    bool start(Wave wave, ChannelGains gains, uint32_t tag = 0);
    bool stop(uint32_t tag);

    // From the output's thread: the next `frames` stereo frames of all voices,
    // each channel scaled by its gain, summed and limited to 16 bits.
    void mix(int16_t* out, int64_t frames);
    // How many frames the output has taken so far, from any thread.
    int64_t mixed() const { return m_mixed.load(std::memory_order_relaxed); }

private:
    struct Command {
        Wave wave;  // none: stop the voice of `tag`
        ChannelGains gains;
        uint32_t tag = 0;
    };
    struct Voice {
        Wave wave;
        int64_t at = 0;  // the next frame to play
        ChannelGains gains;
        uint32_t tag = 0;
        uint64_t startedAt = 0;
    };

    bool push(Command command);
    void carryOut(Command& command);
    size_t pickVoice() const;

    int m_rate;
    // The ring: the window's thread writes at m_written, the output's reads at m_read.
    std::array<Command, 64> m_commands;
    std::atomic<uint64_t> m_written{0};
    std::atomic<uint64_t> m_read{0};
    std::atomic<int64_t> m_mixed{0};
    // Only the output's thread touches these.
    std::vector<Voice> m_voices;
    size_t m_next = 0;
    uint64_t m_starts = 0;
    std::vector<double> m_sum;
};

// Reads each cue's wave file (its full path from `locate`). A file that cannot be
// read is left out, and `report` gets "Error can't find file: " and the path.
std::map<QString, SoundMixer::Wave> readCues(const QStringList& files,
                                             const std::function<QString(const QString&)>& locate,
                                             const std::function<void(const QString&)>& report);
// The rate to mix at: the highest of the cues', so that none loses its high notes
// (Lapdeck's own cues and the speech are at 22050 Hz, and then nothing is resampled).
int mixingRate(const std::map<QString, SoundMixer::Wave>& cues);

}  // namespace lapdeck
