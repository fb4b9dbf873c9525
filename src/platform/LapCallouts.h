#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include <QString>

#include "SoundChoices.h"

namespace lapdeck {

class SpeechEngine;

// The lap-time callouts of the Sound dialog's choices: "Every Lap" announces each
// counted lap, "Best Lap" a flag's new best lap of the race. One callout is said at
// a time; the others wait, and when more than a few wait the oldest is dropped, so
// what is heard stays close to the race.
class LapCallouts {
public:
    static constexpr size_t kMaxWaiting = 3;

    // Without a speech engine the callouts are silent; the choices are still kept.
    explicit LapCallouts(SpeechEngine* speech);

    const SoundChoices& choices() const { return m_choices; }
    void setChoices(const SoundChoices& choices) { m_choices = choices; }

    // A lap counted for `flag`, whose racer is `racerName` (may be empty).
    void lapCounted(int flag, const QString& racerName, int lap, int32_t lapMs, bool newBest);

    // "Ann, twelve point three four"; a best lap: "Ann, best lap, twelve point three four".
    // The time is read as the race screen shows it.
    static QString text(int flag, const QString& racerName, int32_t lapMs, bool best);

    const std::deque<QString>& waiting() const { return m_waiting; }

private:
    void announce(const QString& text);
    void sayNext();

    SpeechEngine* m_speech;
    SoundChoices m_choices;
    std::deque<QString> m_waiting;
    bool m_speaking = false;
};

}  // namespace lapdeck
