#pragma once

#include <QString>

namespace lapdeck {

// Hands a document to the desktop's application for its type (a text file to the
// text viewer).
class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;
    // False when the desktop could not open it.
    virtual bool openDocument(const QString& fileName);
};

}  // namespace lapdeck
