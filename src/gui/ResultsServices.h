#pragma once

#include <functional>

#include <QDateTime>

class QDialog;

namespace lapdeck {

class DesktopOpener;
class FileChooser;
class PagePrinter;
class Prompter;

// What the results windows use from outside; anything left null gets the program's
// own (message boxes, Qt's file dialogs, the default printer, the desktop's viewer,
// the system clock, exec()).
struct ResultsServices {
    Prompter* prompter = nullptr;
    FileChooser* files = nullptr;
    PagePrinter* printer = nullptr;
    DesktopOpener* desktop = nullptr;
    std::function<QDateTime()> now;
    // Runs a results window modally; returns once the window has closed. Tests use
    // the window in here as a user would.
    std::function<void(QDialog&)> runModal;
};

}  // namespace lapdeck
