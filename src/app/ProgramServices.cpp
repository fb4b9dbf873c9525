#include "ProgramServices.h"

#include <QCoreApplication>
#include <QTimer>

#include "ClockRandom.h"
#include "MessageBoxPrompter.h"
#include "ShellOpener.h"
#include "SoundOutput.h"
#include "StartSequenceRunner.h"

namespace lapdeck {

ProgramServices::ProgramServices(LapdeckServices given, const QString& dataFolder)
    : m_services(std::move(given)) {
    LapdeckServices& s = m_services;
    // The results windows make their own message boxes, over themselves, unless a
    // prompter was given.
    if (s.results.prompter == nullptr) {
        s.results.prompter = s.prompter;
    }
    if (s.prompter == nullptr) {
        m_prompter = std::make_unique<MessageBoxPrompter>();
        s.prompter = m_prompter.get();
    }
    if (s.random == nullptr) {
        m_random = std::make_unique<ClockRandom>();
        s.random = m_random.get();
    }
    if (s.opener == nullptr) {
        m_opener = std::make_unique<DesktopShellOpener>();
        s.opener = m_opener.get();
    }
    if (s.assets.root.isEmpty()) {
        s.assets = AssetFolders::locate(QCoreApplication::applicationDirPath());
    }
    if (s.sound == nullptr) {
        m_sound =
            makeRaceSound([assets = s.assets, dataFolder](
                              const QString& file) { return assets.soundFile(dataFolder, file); },
                          [this](const QString& message) {
                              // Later, from the event loop: a cue is played inside the race tick,
                              // and a message box there would run the next ticks inside this one.
                              QTimer::singleShot(0, &m_alive, [this, message]() {
                                  m_services.prompter->notify(QString(), message, Icon::None);
                              });
                          });
        s.sound = m_sound.get();
    }
    if (s.speech == nullptr && s.silentReason.isEmpty()) {
        m_speech = makeSpeech(*s.sound, s.silentReason);
        s.speech = m_speech.get();
    }
    if (s.startSequence == nullptr) {
        m_startSequence = std::make_unique<ModalStartSequence>(*s.sound, *s.random);
        s.startSequence = m_startSequence.get();
    }
}

ProgramServices::~ProgramServices() = default;

void ProgramServices::showOver(QWidget* window) {
    if (m_prompter) {
        m_prompter->setParent(window);
    }
    if (m_startSequence) {
        m_startSequence->setParent(window);
    }
}

}  // namespace lapdeck
