#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

#include "ConfigError.h"

namespace lapdeck {

// The two choices of the Sound dialog: announce every lap, announce a new best lap.
struct SoundChoices {
    bool everyLap = false;
    bool bestLap = false;

    bool operator==(const SoundChoices&) const = default;
};

// Sound.dat in the data folder: the two choices as truth values on one line.
// A missing file is both off, without an error.
inline const QString kSoundChoicesFile = QStringLiteral("Sound.dat");
LoadResult<SoundChoices> parseSoundChoices(const QByteArray& bytes, const QString& fileName);
LoadResult<SoundChoices> loadSoundChoices(const QString& path);
std::optional<ConfigError> saveSoundChoices(const QString& path, const SoundChoices& choices);

}  // namespace lapdeck
