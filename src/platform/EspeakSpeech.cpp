#include "EspeakSpeech.h"

#include <utility>

#include <QProcess>
#include <QStandardPaths>

#include "SoundPlayer.h"

namespace lapdeck {

namespace {
// Making a callout's wave takes a tenth of a second; a run that hangs must not
// silence all the others.
constexpr int kLimitMs = 5000;
}  // namespace

// Runs the program on the speech thread and hands the wave it made back.
class EspeakSpeech::Maker : public QObject {
public:
    Maker(QString program, EspeakSpeech* front)
        : m_program(std::move(program)),
          m_front(front),
          m_process(new QProcess(this)),
          m_limit(new QTimer(this)) {
        m_process->setStandardErrorFile(QProcess::nullDevice());
        connect(m_process, &QProcess::finished, this, &Maker::finished);
        connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                hand(std::exchange(m_callout, 0), std::nullopt);
            }
        });
        m_limit->setSingleShot(true);
        m_limit->setInterval(kLimitMs);
        connect(m_limit, &QTimer::timeout, m_process, &QProcess::kill);
    }

    void make(const QString& text, uint64_t callout) {
        stop();
        m_callout = callout;
        m_limit->start();
        // "--": a racer's name that begins with a dash is text, not an option.
        m_process->start(m_program, {QStringLiteral("-v"), QStringLiteral("en-us"),
                                     QStringLiteral("-s"), QStringLiteral("165"),
                                     QStringLiteral("--stdout"), QStringLiteral("--"), text});
    }

    void stop() {
        m_callout = 0;
        if (m_process->state() != QProcess::NotRunning) {
            m_process->kill();
            m_process->waitForFinished(1000);
        }
    }

private:
    void finished() {
        m_limit->stop();
        const QByteArray bytes = m_process->readAllStandardOutput();
        const uint64_t callout = std::exchange(m_callout, 0);
        if (callout != 0) {
            const bool ran =
                m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
            hand(callout, ran ? parseWave(bytes) : std::nullopt);
        }
    }

    void hand(uint64_t callout, std::optional<WaveData> wave) {
        if (callout != 0) {
            QMetaObject::invokeMethod(
                m_front,
                [front = m_front, callout, wave = std::move(wave)]() {
                    front->made(callout, wave);
                },
                Qt::QueuedConnection);
        }
    }

    QString m_program;
    EspeakSpeech* m_front;
    QProcess* m_process;
    QTimer* m_limit;
    uint64_t m_callout = 0;
};

std::unique_ptr<EspeakSpeech> EspeakSpeech::find(SoundPlayer& output) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    if (program.isEmpty()) {
        return nullptr;
    }
    return std::make_unique<EspeakSpeech>(program, output);
}

EspeakSpeech::EspeakSpeech(const QString& program, SoundPlayer& output)
    : m_output(output), m_maker(new Maker(program, this)) {
    m_maker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_maker, &QObject::deleteLater);
    m_thread.setObjectName(QStringLiteral("Lapdeck speech"));
    m_thread.start();
    for (QTimer* timer : {&m_playing, &m_cut}) {
        timer->setSingleShot(true);
    }
    connect(&m_playing, &QTimer::timeout, this, &EspeakSpeech::finish);
    connect(&m_cut, &QTimer::timeout, this, &EspeakSpeech::cut);
}

EspeakSpeech::~EspeakSpeech() {
    // The program is stopped with its thread; what it made is not handed back.
    m_thread.quit();
    m_thread.wait();
}

void EspeakSpeech::say(const QString& text, std::function<void()> done) {
    m_done = std::move(done);
    QMetaObject::invokeMethod(
        m_maker, [maker = m_maker, text, callout = ++m_callout]() { maker->make(text, callout); });
}

void EspeakSpeech::endWithin(int ms) {
    if (m_done && (!m_cut.isActive() || m_cut.remainingTime() > ms)) {
        m_cut.start(ms);
    }
}

void EspeakSpeech::made(uint64_t callout, const std::optional<WaveData>& wave) {
    if (callout != m_callout || !m_done) {
        return;  // cut off while it was being made
    }
    if (!wave) {
        finish();
        return;
    }
    m_output.playSpeech(*wave);
    m_playing.start(static_cast<int>(durationMs(*wave)));
}

void EspeakSpeech::cut() {
    if (m_playing.isActive()) {
        m_output.cutSpeech();
    } else {
        QMetaObject::invokeMethod(m_maker, [maker = m_maker]() { maker->stop(); });
    }
    ++m_callout;  // not to be played when it has been made after all
    finish();
}

void EspeakSpeech::finish() {
    m_playing.stop();
    m_cut.stop();
    if (auto done = std::exchange(m_done, {})) {
        done();
    }
}

}  // namespace lapdeck
