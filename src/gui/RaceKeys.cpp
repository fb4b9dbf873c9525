#include "RaceKeys.h"

#include <QKeyEvent>

namespace lapdeck {

int engineKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    if (key == Qt::Key_F4) {
        return 115;
    }
    if (key == Qt::Key_F5) {
        return 116;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_6) {
        const int digit = key - Qt::Key_0;
        return (event.modifiers() & Qt::KeypadModifier) ? 96 + digit : 48 + digit;
    }
    return 0;
}

}  // namespace lapdeck
