#pragma once

#include <optional>

#include <QString>

#include "RaceHost.h"

namespace lapdeck {

// Why a program-folder file could not be read or written. `line` and `field` are
// 1-based; 0 means the problem concerns the whole file.
struct ConfigError {
    QString file;
    int line = 0;
    int field = 0;
    QString reason;

    // "RCSettings.dat, line 1, field 3: "x" is not a whole number"
    QString message() const;
};

// A value read from a file. When `error` is set the value still holds what could
// be read, with defaults for the rest, so the program can go on after reporting it.
template <typename T>
struct LoadResult {
    T value{};
    std::optional<ConfigError> error;

    bool ok() const { return !error.has_value(); }
};

// A message box a dialog shows for a model's rule. An empty title is the
// program's own title.
struct UserMessage {
    QString title;
    QString text;
    Icon icon = Icon::None;

    bool operator==(const UserMessage&) const = default;
};

}  // namespace lapdeck
