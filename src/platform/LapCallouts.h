#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>

#include <QString>

#include "SoundChoices.h"

namespace lapdeck {

class SpeechEngine;

// The lap-time callouts of the Sound dialog's choices: "Every Lap" announces each
// counted lap, "Best Lap" a flag's new best lap of the race. One callout is said at
// a time and the others wait, so that what is heard stays close to the race: when
// more than a few wait the oldest is dropped, a callout not begun within a few
// seconds of its lap is dropped, and a long name is said only in part. At "Race
// Over" the waiting callouts are dropped and the one being said ends soon after.
class LapCallouts {
public:
    static constexpr size_t kMaxWaiting = 3;
    static constexpr int64_t kFreshMs = 3000;
    static constexpr int kNameLength = 24;
    // Leaves the sound output time to play out before the 3 s after "Race Over".
    static constexpr int kAfterRaceOverMs = 2500;

    // Milliseconds from any fixed moment.
    using Clock = std::function<int64_t()>;

    // Without a speech engine the callouts are silent; the choices are still kept.
    // Without a clock the system's steady clock is used.
    explicit LapCallouts(SpeechEngine* speech, Clock clock = {});

    const SoundChoices& choices() const { return m_choices; }
    void setChoices(const SoundChoices& choices) { m_choices = choices; }

    // A lap counted for `flag`, whose racer is `racerName` (may be empty).
    void lapCounted(int flag, const QString& racerName, int lap, int32_t lapMs, bool newBest);

    // "Ann, twelve point three four"; a best lap: "Ann, best lap, twelve point three four".
    // The time is read as the race screen shows it.
    static QString text(int flag, const QString& racerName, int32_t lapMs, bool best);

    void raceOver();

    // The first kNameLength characters of a name, cut back to the end of a word.
    static QString spokenName(const QString& name);

private:
    struct Callout {
        QString text;
        int64_t lapAt = 0;
    };

    void announce(const QString& text);
    void sayNext();

    SpeechEngine* m_speech;
    Clock m_clock;
    SoundChoices m_choices;
    std::deque<Callout> m_waiting;
    bool m_speaking = false;
};

}  // namespace lapdeck
