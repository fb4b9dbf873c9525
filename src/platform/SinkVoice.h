#pragma once

#include <memory>

#include <QAudioDevice>
#include <QBuffer>

#include "Voice.h"

class QAudioSink;

namespace lapdeck {

// A voice on an audio output of Qt Multimedia. Volume and pan are applied to the
// samples, since a sink offers no pan of its own.
class SinkVoice : public Voice {
public:
    explicit SinkVoice(QAudioDevice device);
    ~SinkVoice() override;

    bool isPlaying() const override;
    void play(const WaveData& wave, ChannelGains gains) override;

private:
    QAudioDevice m_device;
    std::unique_ptr<QAudioSink> m_sink;
    QBuffer m_buffer;
};

}  // namespace lapdeck
