#pragma once

#include <deque>
#include <functional>

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include "GuiTestSupport.h"

namespace lapdeck::test {

// Runs `act` on the modal dialog of type T that `open` puts on screen, while its
// exec() waits. A dialog that `act` leaves open is closed with Cancel afterwards;
// the result says whether it was still open.
template <typename T>
bool onModal(const std::function<void(T&)>& act, const std::function<void()>& open) {
    bool found = false;
    bool leftOpen = false;
    QTimer::singleShot(0, [&]() {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        found = true;
        act(*dialog);
        leftOpen = dialog->isVisible();
        if (leftOpen) {
            dialog->reject();
        }
    });
    open();
    EXPECT_TRUE(found) << "no " << T::staticMetaObject.className() << " was opened";
    return leftOpen;
}

// Also answers input boxes, from a script (Cancel when it has run out).
class InputPrompter : public ScriptedPrompter {
public:
    QString input(const QString& title, const QString& prompt,
                  const QString& defaultText) override {
        prompts.push_back({true, title,
                           prompt + QStringLiteral(" [") + defaultText + QLatin1Char(']'),
                           Icon::None, false});
        if (inputs.empty()) {
            return {};
        }
        const QString text = inputs.front();
        inputs.pop_front();
        return text;
    }
    std::deque<QString> inputs;
};

}  // namespace lapdeck::test
