#pragma once

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QString>

#include "ConfigError.h"

namespace lapdeck {

inline constexpr uint16_t kDefaultLivePort = 8642;

// Whether Lapdeck serves live results as it starts, and on which port.
struct LiveChoice {
    bool on = false;
    uint16_t port = kDefaultLivePort;

    bool operator==(const LiveChoice&) const = default;
};

// LiveResults.dat in the data folder: one line, the choice as a truth value and the
// port ("#TRUE#,8642"). A missing file is off on port 8642, without an error; a
// broken one is reported and read as far as it goes.
inline const QString kLiveChoiceFile = QStringLiteral("LiveResults.dat");
LoadResult<LiveChoice> parseLiveChoice(const QByteArray& bytes, const QString& fileName);
LoadResult<LiveChoice> loadLiveChoice(const QString& path);
std::optional<ConfigError> saveLiveChoice(const QString& path, const LiveChoice& choice);

}  // namespace lapdeck
