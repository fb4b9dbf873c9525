#include "EspeakSpeech.h"

#include <utility>

#include <QStandardPaths>

namespace lapdeck {

namespace {
// A callout takes two or three seconds; one that hangs (a stuck sound server)
// must not silence all the others.
constexpr int kLimitMs = 15000;
}  // namespace

std::unique_ptr<EspeakSpeech> EspeakSpeech::find() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    if (program.isEmpty()) {
        return nullptr;
    }
    return std::make_unique<EspeakSpeech>(program);
}

EspeakSpeech::EspeakSpeech(QString program) : m_program(std::move(program)) {
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    connect(&m_process, &QProcess::finished, this, &EspeakSpeech::finish);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            finish();
        }
    });
    m_limit.setSingleShot(true);
    m_limit.setInterval(kLimitMs);
    connect(&m_limit, &QTimer::timeout, &m_process, &QProcess::kill);
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
    QTimer::singleShot(0, this, [this, text]() { start(text); });
}

void EspeakSpeech::start(const QString& text) {
    m_limit.start();
    // "--": a racer's name that begins with a dash is text, not an option.
    m_process.start(m_program, {QStringLiteral("-v"), QStringLiteral("en-us"), QStringLiteral("-s"),
                                QStringLiteral("165"), QStringLiteral("--"), text});
}

void EspeakSpeech::finish() {
    m_limit.stop();
    if (auto done = std::exchange(m_done, {})) {
        done();
    }
}

}  // namespace lapdeck
