#pragma once

#include <QKeyEvent>

namespace lapdeck {

// The engine's code of a key that works the race (F4, F5 and the flag digits, the
// keypad's apart), or 0 when the key is none of them.
int engineKeyCode(const QKeyEvent& event);

}  // namespace lapdeck
