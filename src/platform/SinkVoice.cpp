#include "SinkVoice.h"

#include <QAudioSink>

#include "WaveFile.h"

namespace lapdeck {

SinkVoice::SinkVoice(QAudioDevice device) : m_device(std::move(device)) {}

SinkVoice::~SinkVoice() {
    if (m_sink) {
        m_sink->stop();
    }
}

bool SinkVoice::isPlaying() const {
    return m_sink && m_sink->state() == QAudio::ActiveState;
}

void SinkVoice::play(const WaveData& wave, ChannelGains gains) {
    if (m_sink) {
        m_sink->stop();
    }
    if (!m_sink || m_sink->format().sampleRate() != wave.sampleRate) {
        QAudioFormat format;
        format.setSampleRate(wave.sampleRate);
        format.setChannelCount(2);
        format.setSampleFormat(QAudioFormat::Int16);
        m_sink = std::make_unique<QAudioSink>(m_device, format);
        QAudioSink* sink = m_sink.get();
        // Played out: give the output stream back until the next cue.
        QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State state) {
            if (state == QAudio::IdleState) {
                sink->stop();
            }
        });
    }
    m_buffer.close();
    m_buffer.setData(withGains(wave, gains));
    m_buffer.open(QIODevice::ReadOnly);
    m_sink->start(&m_buffer);
}

}  // namespace lapdeck
