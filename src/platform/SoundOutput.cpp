#include "SoundOutput.h"

#include <cstring>
#include <vector>

#include <QAudioDevice>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>

#include "EspeakSpeech.h"

namespace lapdeck {
namespace {

// Every cue the race plays: the start lights, a counted lap, the flags and the
// ends of a lap race and of a timed race.
const QStringList kCues{QStringLiteral("getready.wav"),      QStringLiteral("go.wav"),
                        QStringLiteral("cargoingby.wav"),    QStringLiteral("whiteflag2.wav"),
                        QStringLiteral("checkeredflag.wav"), QStringLiteral("Raceover.wav"),
                        QStringLiteral("10seconds.wav"),     QStringLiteral("CheckeredFlag.wav"),
                        QStringLiteral("RaceOver.wav")};
// What the sound server holds ahead of the speaker: a cue is heard at most this
// late, and the stream's thread may be held up this long without a gap.
constexpr qint64 kBufferUs = 100'000;

// The mixer as the sink's source: always as much sound as asked for, silence
// when no voice plays, so the stream never runs dry and never restarts.
class MixerDevice : public QIODevice {
public:
    MixerDevice(SoundMixer& mixer, QObject* parent) : QIODevice(parent), m_mixer(mixer) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return (1 << 20) + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const int64_t frames = maxSize / 4;
        m_frames.resize(static_cast<size_t>(frames) * 2);
        m_mixer.mix(m_frames.data(), frames);
        std::memcpy(data, m_frames.data(), static_cast<size_t>(frames) * 4);
        return frames * 4;
    }
    qint64 writeData(const char* data, qint64 size) override {
        (void)data;
        (void)size;
        return -1;
    }

private:
    SoundMixer& m_mixer;
    std::vector<int16_t> m_frames;
};

}  // namespace

// The sink and its source, on the output's thread.
class SoundOutput::Stream : public QObject {
public:
    explicit Stream(SoundMixer& mixer) : m_device(new MixerDevice(mixer, this)) {}
    // The sink before the source it reads (children would go the other way round).
    ~Stream() override { delete m_sink; }

    void open(const QAudioDevice& device, const QAudioFormat& format,
              const std::function<void()>& failed) {
        m_device->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        m_sink = new QAudioSink(device, format, this);
        m_sink->setBufferSize(format.bytesForDuration(kBufferUs));
        auto check = [this, failed]() {
            if (!m_failed && m_sink->state() == QAudio::StoppedState &&
                m_sink->error() != QAudio::NoError) {
                m_failed = true;
                failed();
            }
        };
        connect(m_sink, &QAudioSink::stateChanged, this, check);
        m_sink->start(m_device);
        check();
    }

private:
    MixerDevice* m_device;
    QAudioSink* m_sink = nullptr;
    bool m_failed = false;
};

SoundOutput::SoundOutput(const QAudioDevice& device, const QStringList& cues, const Locate& locate,
                         Report report)
    : m_report(std::move(report)), m_thread(new QThread) {
    m_cues = readCues(cues, locate, [this](const QString& message) { reportLater(message); });
    QAudioFormat format;
    format.setSampleRate(mixingRate(m_cues));
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        format.setSampleRate(device.preferredFormat().sampleRate());
    }
    for (auto& [file, wave] : m_cues) {
        if (wave->sampleRate != format.sampleRate()) {
            wave = std::make_shared<const WaveData>(resampled(*wave, format.sampleRate()));
        }
    }
    m_mixer = std::make_unique<SoundMixer>(kVoices, format.sampleRate());

    m_stream = new Stream(*m_mixer);
    m_stream->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_stream, &QObject::deleteLater);
    m_thread->setObjectName(QStringLiteral("Lapdeck sound"));
    m_thread->start();
    // Opening waits for the sound server: on the output's thread, not the window's.
    QMetaObject::invokeMethod(m_stream, [this, stream = m_stream, device, format]() {
        stream->open(device, format, [this]() {
            reportLater(QStringLiteral(
                "The sound output stopped working: the race cues and callouts are not heard."));
        });
    });
}

SoundOutput::~SoundOutput() {
    m_thread->quit();
    if (m_thread->wait(QDeadlineTimer(3000))) {
        delete m_thread;
        return;
    }
    // A sound server that does not answer must not hold up the exit; the stuck
    // thread keeps what it uses.
    (void)m_mixer.release();
}

void SoundOutput::reportLater(const QString& message) {
    if (m_report) {
        QMetaObject::invokeMethod(
            this, [this, message]() { m_report(message); }, Qt::QueuedConnection);
    }
}

void SoundOutput::play(const QString& file, int volume, int pan) {
    // Every cue the race plays was read, or reported, when the output was made.
    const auto cue = m_cues.find(file);
    if (cue == m_cues.end()) {
        return;
    }
    if (!m_mixer->start(cue->second, channelGains(volume, pan)) && !m_stalled) {
        m_stalled = true;
        reportLater(QStringLiteral(
            "The sound output stopped taking sound: the race cues and callouts are not heard."));
    }
}

void SoundOutput::playSpeech(const WaveData& wave) {
    cutSpeech();
    if (++m_speech == 0) {
        ++m_speech;  // 0 names no voice
    }
    m_mixer->start(std::make_shared<const WaveData>(wave.sampleRate == m_mixer->rate()
                                                        ? wave
                                                        : resampled(wave, m_mixer->rate())),
                   {}, m_speech);
}

void SoundOutput::cutSpeech() {
    m_mixer->stop(m_speech);
}

bool hasAudioOutput() {
    return !QMediaDevices::audioOutputs().isEmpty();
}

std::unique_ptr<SoundPlayer> makeRaceSound(SoundOutput::Locate locate, SoundOutput::Report report) {
    if (!hasAudioOutput()) {
        return std::make_unique<SilentSound>();
    }
    return std::make_unique<SoundOutput>(QMediaDevices::defaultAudioOutput(), kCues, locate,
                                         std::move(report));
}

std::unique_ptr<SpeechEngine> makeSpeech(SoundPlayer& sound, QString& silentReason) {
    if (!hasAudioOutput()) {
        silentReason =
            QStringLiteral("No sound output was found: the lap-time callouts stay silent.");
        return nullptr;
    }
    std::unique_ptr<EspeakSpeech> speech = EspeakSpeech::find(sound);
    if (!speech) {
        silentReason = QStringLiteral(
            "The lap-time callouts need the speech program espeak-ng, which is not installed "
            "(apt install espeak-ng).");
    }
    return speech;
}

}  // namespace lapdeck
