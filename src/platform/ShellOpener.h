#pragma once

#include <functional>

#include <QUrl>

class QObject;

namespace lapdeck {

// Hands an address to the desktop: a web address to its browser.
class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // Starts what the desktop opens `url` with. `failed` runs, at once or later from
    // the event loop (while `context` lives), when the desktop has nothing to open
    // it with or that gave up.
    virtual void open(const QUrl& url, QObject* context, std::function<void()> failed) = 0;
};

class DesktopShellOpener : public ShellOpener {
public:
    void open(const QUrl& url, QObject* context, std::function<void()> failed) override;
};

}  // namespace lapdeck
