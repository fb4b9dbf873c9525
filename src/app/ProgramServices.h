#pragma once

#include <memory>

#include <QObject>
#include <QString>

#include "LapdeckServices.h"

class QWidget;

namespace lapdeck {

class MessageBoxPrompter;
class ModalStartSequence;

// The program's own services, for whatever the caller leaves empty: message boxes,
// a clock-seeded generator, the voice pool (or silence on a machine without sound),
// espeak-ng (or silent callouts, with the reason), the modal start windows, the
// desktop's browser and Lapdeck's installed sounds and help. Owns what it makes.
class ProgramServices {
public:
    ProgramServices(LapdeckServices given, const QString& dataFolder);
    ~ProgramServices();
    ProgramServices(const ProgramServices&) = delete;
    ProgramServices& operator=(const ProgramServices&) = delete;

    const LapdeckServices& services() const { return m_services; }
    // Once the main window is up: message boxes and the start windows open over it.
    void showOver(QWidget* window);

private:
    LapdeckServices m_services;
    std::unique_ptr<MessageBoxPrompter> m_prompter;
    std::unique_ptr<RandomSource> m_random;
    std::unique_ptr<SoundPlayer> m_sound;
    std::unique_ptr<SpeechEngine> m_speech;
    std::unique_ptr<ModalStartSequence> m_startSequence;
    std::unique_ptr<ShellOpener> m_opener;
    QObject m_alive;  // what deferred messages hang on, so none outlives this
};

}  // namespace lapdeck
