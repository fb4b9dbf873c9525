#pragma once

#include <QString>

namespace lapdeck::captions {

// The race screen's captions. The two switchable headers and the name cells are
// compared as text to decide what to show, so every part uses these same strings.
inline const QString kBestLap = QStringLiteral("Best Lap");
inline const QString kMph = QStringLiteral("MPH");
inline const QString kMedian = QStringLiteral("Median");
inline const QString kLagBehind = QStringLiteral("Lag Behind");
inline const QString kLagFirst = QStringLiteral("Lag First");

inline const QString kSelectName = QStringLiteral(" Select Name");
inline const QString kDisabled = QStringLiteral(" Disabled");
inline const QString kEmpty = QStringLiteral(" Empty");

inline const QString kCrLf = QStringLiteral("\r\n");

}  // namespace lapdeck::captions
