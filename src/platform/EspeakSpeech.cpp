#include "EspeakSpeech.h"

#include <utility>

#include <QStandardPaths>

#include "SoundPlayer.h"
#include "WaveFile.h"

namespace lapdeck {

namespace {
// Making a callout's wave takes a tenth of a second; a run that hangs must not
// silence all the others.
constexpr int kLimitMs = 5000;
}  // namespace

std::unique_ptr<EspeakSpeech> EspeakSpeech::find(SoundPlayer& output) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    if (program.isEmpty()) {
        return nullptr;
    }
    return std::make_unique<EspeakSpeech>(program, output);
}

EspeakSpeech::EspeakSpeech(QString program, SoundPlayer& output)
    : m_program(std::move(program)), m_output(output) {
    m_process.setStandardErrorFile(QProcess::nullDevice());
    connect(&m_process, &QProcess::finished, this, &EspeakSpeech::rendered);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            finish();
        }
    });
    for (QTimer* timer : {&m_limit, &m_playing, &m_cut}) {
        timer->setSingleShot(true);
    }
    m_limit.setInterval(kLimitMs);
    connect(&m_limit, &QTimer::timeout, &m_process, &QProcess::kill);
    connect(&m_playing, &QTimer::timeout, this, &EspeakSpeech::finish);
    connect(&m_cut, &QTimer::timeout, this, &EspeakSpeech::cut);
}

EspeakSpeech::~EspeakSpeech() {
    // No callback may run into a caller that is going away.
    m_process.disconnect(this);
    m_done = {};
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
}

void EspeakSpeech::say(const QString& text, std::function<void()> done) {
    m_done = std::move(done);
    QTimer::singleShot(0, this, [this, text, said = ++m_said]() {
        if (said == m_said && m_done) {
            start(text);
        }
    });
}

void EspeakSpeech::endWithin(int ms) {
    if (m_done && (!m_cut.isActive() || m_cut.remainingTime() > ms)) {
        m_cut.start(ms);
    }
}

void EspeakSpeech::start(const QString& text) {
    m_limit.start();
    // "--": a racer's name that begins with a dash is text, not an option.
    m_process.start(
        m_program, {QStringLiteral("-v"), QStringLiteral("en-us"), QStringLiteral("-s"),
                    QStringLiteral("165"), QStringLiteral("--stdout"), QStringLiteral("--"), text});
}

void EspeakSpeech::rendered() {
    m_limit.stop();
    const QByteArray bytes = m_process.readAllStandardOutput();
    if (!m_done) {
        return;  // cut off while it was being made
    }
    const std::optional<WaveData> wave =
        m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0
            ? parseWave(bytes)
            : std::nullopt;
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
    }
    // Out of the way while the program is stopped, so that it is not played.
    std::function<void()> done = std::exchange(m_done, {});
    if (m_process.state() != QProcess::NotRunning) {
        // Dies at once; waiting keeps the next callout off a program still running.
        m_process.kill();
        m_process.waitForFinished(1000);
    }
    m_done = std::move(done);
    finish();
}

void EspeakSpeech::finish() {
    m_limit.stop();
    m_playing.stop();
    m_cut.stop();
    if (auto done = std::exchange(m_done, {})) {
        done();
    }
}

}  // namespace lapdeck
