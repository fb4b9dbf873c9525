#pragma once

#include <QCursor>
#include <QPixmap>
#include <QString>

namespace lapdeck {

// Pictures and pointer icons by their file names ("GreenFlagblack.bmp", "handred.ico").
// A file of that name in the data folder wins, so a club can put up its own logo;
// otherwise Lapdeck's own copy built into the program is used.
class Pictures {
public:
    explicit Pictures(QString dataDir);

    // A null pixmap when neither copy exists or can be read.
    QPixmap picture(const QString& fileName) const;
    // The arrow when the icon cannot be read. The hot spot is the top left, as the
    // hand's finger tip and the helmet's visor are drawn there.
    QCursor pointer(const QString& fileName) const;

private:
    QString m_dataDir;
};

}  // namespace lapdeck
