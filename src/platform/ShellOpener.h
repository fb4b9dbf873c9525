#pragma once

#include <QUrl>

namespace lapdeck {

// Hands an address to the desktop: a web address to its browser.
class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // False when the desktop has nothing to open it with.
    virtual bool open(const QUrl& url) = 0;
};

class DesktopShellOpener : public ShellOpener {
public:
    bool open(const QUrl& url) override;
};

}  // namespace lapdeck
