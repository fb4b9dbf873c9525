#pragma once

#include <functional>

#include <QString>

namespace lapdeck {

// Says a short text aloud, one at a time.
class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    // Starts saying `text` and returns at once; `done` runs when it has been said
    // (or could not be), never from within say() itself.
    virtual void say(const QString& text, std::function<void()> done) = 0;
};

}  // namespace lapdeck
