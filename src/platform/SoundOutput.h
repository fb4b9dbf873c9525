#pragma once

#include <functional>
#include <map>
#include <memory>

#include <QObject>
#include <QThread>

#include "SoundMixer.h"
#include "SoundPlayer.h"
#include "SpeechEngine.h"

class QAudioDevice;

namespace lapdeck {

// The race sound on one long-lived output stream: every cue is read when it is
// made, and its voices are mixed on a thread of their own, so playing a cue never
// waits for a file or for the sound server.
class SoundOutput : public QObject, public SoundPlayer {
public:
    static constexpr size_t kVoices = 31;
    // The full path of a cue's wave file.
    using Locate = std::function<QString(const QString& file)>;
    // A problem for the user, on the window's thread.
    using Report = std::function<void(const QString& message)>;

    SoundOutput(const QAudioDevice& device, const QStringList& cues, const Locate& locate,
                Report report);
    ~SoundOutput() override;

    void play(const QString& file, int volume, int pan) override;
    void playSpeech(const WaveData& wave) override;
    void cutSpeech() override;

    // Frames the output stream has played: it runs once this grows.
    int64_t framesPlayed() const { return m_mixer->mixed(); }

private:
    class Stream;

    void reportLater(const QString& message);

    Report m_report;
    std::unique_ptr<SoundMixer> m_mixer;
    std::map<QString, SoundMixer::Wave> m_cues;
    uint32_t m_speech = 0;
    bool m_stalled = false;
    QThread* m_thread;
    Stream* m_stream = nullptr;  // lives on m_thread, which deletes it
};

// Whether the machine has an audio output at all. Without one Qt Multimedia does
// not fail: its sounds never finish, so Lapdeck stays silent instead.
bool hasAudioOutput();

// The program's race sound: every cue the race plays, on the default audio output,
// or silence where there is none.
std::unique_ptr<SoundPlayer> makeRaceSound(SoundOutput::Locate locate, SoundOutput::Report report);

// The speech of the lap-time callouts, played through `sound`: espeak-ng where it
// is installed and a sound output exists. Otherwise nothing, and `silentReason`
// says why.
std::unique_ptr<SpeechEngine> makeSpeech(SoundPlayer& sound, QString& silentReason);

}  // namespace lapdeck
