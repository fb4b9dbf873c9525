#pragma once

#include <memory>

#include "SpeechEngine.h"
#include "VoicePool.h"

namespace lapdeck {

// Whether the machine has an audio output at all. Without one Qt Multimedia does
// not fail: its sounds never finish, so Lapdeck stays silent instead.
bool hasAudioOutput();

// The program's race sound: a pool of 31 voices on the default audio output, or
// silence where there is none.
std::unique_ptr<SoundPlayer> makeRaceSound(VoicePool::Locate locate, VoicePool::Report report);

// The speech of the lap-time callouts: espeak-ng where it is installed and a sound
// output exists. Otherwise nothing, and `silentReason` says why.
std::unique_ptr<SpeechEngine> makeSpeech(QString& silentReason);

}  // namespace lapdeck
