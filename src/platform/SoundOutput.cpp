#include "SoundOutput.h"

#include <QMediaDevices>

#include "EspeakSpeech.h"
#include "SinkVoice.h"

namespace lapdeck {

namespace {
constexpr int kVoices = 31;
}

bool hasAudioOutput() {
    return !QMediaDevices::audioOutputs().isEmpty();
}

std::unique_ptr<SoundPlayer> makeRaceSound(VoicePool::Locate locate, VoicePool::Report report) {
    if (!hasAudioOutput()) {
        return std::make_unique<SilentSound>();
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    std::vector<std::unique_ptr<Voice>> voices;
    for (int i = 0; i < kVoices; ++i) {
        voices.push_back(std::make_unique<SinkVoice>(device));
    }
    return std::make_unique<VoicePool>(std::move(voices), std::move(locate), std::move(report));
}

std::unique_ptr<SpeechEngine> makeSpeech(QString& silentReason) {
    if (!hasAudioOutput()) {
        silentReason =
            QStringLiteral("No sound output was found: the lap-time callouts stay silent.");
        return nullptr;
    }
    std::unique_ptr<EspeakSpeech> speech = EspeakSpeech::find();
    if (!speech) {
        silentReason = QStringLiteral(
            "The lap-time callouts need the speech program espeak-ng, which is not installed "
            "(apt install espeak-ng).");
    }
    return speech;
}

}  // namespace lapdeck
