#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <QObject>
#include <QThread>
#include <QTimer>

#include "SpeechEngine.h"
#include "WaveFile.h"

namespace lapdeck {

class SoundPlayer;

// Speech made by the espeak-ng program and played through the race sound, so
// that it shares the one output stream and its length is known when it starts.
// Each text is one run of the program, on a thread of its own: starting a
// program holds up the thread that starts it until the program runs, and the
// window's thread must not wait.
class EspeakSpeech : public QObject, public SpeechEngine {
public:
    // Nothing when espeak-ng is not installed.
    static std::unique_ptr<EspeakSpeech> find(SoundPlayer& output);

    EspeakSpeech(const QString& program, SoundPlayer& output);
    ~EspeakSpeech() override;

    void say(const QString& text, std::function<void()> done) override;
    void endWithin(int ms) override;

private:
    class Maker;

    void made(uint64_t callout, const std::optional<WaveData>& wave);
    void cut();
    void finish();

    SoundPlayer& m_output;
    QThread m_thread;
    Maker* m_maker;    // lives on m_thread, which deletes it
    QTimer m_playing;  // until the speech has been heard
    QTimer m_cut;
    std::function<void()> m_done;
    uint64_t m_callout = 0;  // the one being made or said
};

}  // namespace lapdeck
