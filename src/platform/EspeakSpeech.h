#pragma once

#include <functional>
#include <memory>

#include <QObject>
#include <QProcess>
#include <QTimer>

#include "SpeechEngine.h"

namespace lapdeck {

// Speech through the espeak-ng program, which plays on the desktop's sound server
// itself. Each text is one run of the program, started from the event loop so
// that the lap that asked for it is never held up.
class EspeakSpeech : public QObject, public SpeechEngine {
public:
    // Nothing when espeak-ng is not installed.
    static std::unique_ptr<EspeakSpeech> find();

    explicit EspeakSpeech(QString program);
    ~EspeakSpeech() override;

    void say(const QString& text, std::function<void()> done) override;

private:
    void start(const QString& text);
    void finish();

    QString m_program;
    QProcess m_process;
    QTimer m_limit;
    std::function<void()> m_done;
};

}  // namespace lapdeck
