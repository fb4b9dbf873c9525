#pragma once

#include <QString>

namespace lapdeck {

// Where Lapdeck's own sounds and help pages are: in "sounds" and "help" beside the
// program (a build, or a portable copy), or for an installed program in its share
// folder (/usr/share/lapdeck beside /usr/bin).
struct AssetFolders {
    QString root;
    bool installed = false;

    // The first place that holds them; the program's folder when none does, so
    // that a missing file is reported where it was looked for.
    static AssetFolders locate(const QString& programDir);

    QString sounds() const;
    QString help() const;
    // A cue's wave file: a copy in the data folder wins, so a club can use its own.
    QString soundFile(const QString& dataDir, const QString& file) const;
};

}  // namespace lapdeck
