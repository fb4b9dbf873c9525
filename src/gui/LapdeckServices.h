#pragma once

#include <cstdint>
#include <functional>

#include <QString>

#include "AssetFolders.h"
#include "PortMap.h"
#include "ResultsServices.h"

class QDialog;

namespace lapdeck {

class LiveResults;
class Prompter;
class RandomSource;
class ShellOpener;
class SoundPlayer;
class SpeechEngine;
class StartSequenceRunner;

// What the main window uses from outside. The program gives its own (ProgramServices
// in src/app: message boxes, a clock-seeded generator, the voice pool, espeak-ng, the
// modal start windows, the desktop's browser); tests give doubles.
struct LapdeckServices {
    Prompter* prompter = nullptr;
    RandomSource* random = nullptr;
    SoundPlayer* sound = nullptr;
    // Null: the callouts are silent, and `silentReason` says why.
    SpeechEngine* speech = nullptr;
    QString silentReason;
    StartSequenceRunner* startSequence = nullptr;
    ShellOpener* opener = nullptr;
    // Empty: the serial devices the system reports.
    PortScanner scanPorts;
    // The lap table and summary windows' dialogs, printer and desktop.
    ResultsServices results;
    // Shows a window of the menus modally and returns its result; empty: exec().
    // Tests look at the window instead.
    std::function<int(QDialog& window)> showModal;
    // Lapdeck's own sounds and help pages.
    AssetFolders assets;
    // The race timer's monotonic clock in nanoseconds; empty: the system's. Tests
    // move it by hand, so a race runs without waiting for real time.
    std::function<int64_t()> clock;
    // Live results for the pits; null: the menu does not offer them.
    LiveResults* live = nullptr;
};

}  // namespace lapdeck
