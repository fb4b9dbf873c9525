#pragma once

#include <functional>

#include <QString>

namespace lapdeck {

// Says a short text aloud, one at a time.
class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    // Starts saying `text` and returns at once; `done` runs when it has been said
    // (or could not be, or was cut off), never from within say() itself.
    virtual void say(const QString& text, std::function<void()> done) = 0;
    // What is being said ends within `ms` at the latest: it is cut off if it
    // would go on longer.
    virtual void endWithin(int ms) = 0;
};

}  // namespace lapdeck
