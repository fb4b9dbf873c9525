#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QObject>
#include <QProcess>
#include <QTimer>

#include "SpeechEngine.h"

namespace lapdeck {

class SoundPlayer;

// Speech made by the espeak-ng program and played through the race sound, so
// that it shares the one output stream and its length is known when it starts.
// Each text is one run of the program, started from the event loop so that the
// lap that asked for it is never held up.
class EspeakSpeech : public QObject, public SpeechEngine {
public:
    // Nothing when espeak-ng is not installed.
    static std::unique_ptr<EspeakSpeech> find(SoundPlayer& output);

    EspeakSpeech(QString program, SoundPlayer& output);
    ~EspeakSpeech() override;

    void say(const QString& text, std::function<void()> done) override;
    void endWithin(int ms) override;

private:
    void start(const QString& text);
    void rendered();
    void cut();
    void finish();

    QString m_program;
    SoundPlayer& m_output;
    QProcess m_process;
    QTimer m_limit;    // a run of the program that hangs
    QTimer m_playing;  // until the rendered speech has been heard
    QTimer m_cut;
    std::function<void()> m_done;
    uint64_t m_said = 0;
};

}  // namespace lapdeck
