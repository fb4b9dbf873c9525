#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "ConfigError.h"
#include "RaceState.h"
#include "ScreenTexts.h"

namespace lapdeck {

// The names of the files in the data folder.
namespace FileNames {
inline const QString settings = QStringLiteral("RCSettings.dat");
inline const QString speedMultiplier = QStringLiteral("RCSpeedMultiplier.dat");
inline const QString racerNames = QStringLiteral("Racers.dat");
inline const QString raceFormat = QStringLiteral("RaceFormatSettings.dat");
inline const QString roster = QStringLiteral("rcRacers.dat");
inline const QString raceLag = QStringLiteral("RaceLag.dat");
}  // namespace FileNames

// The longest racer name taken, typed or read. A longer one is refused: no club
// racer has one, and each screen, list and printout would pay for it many times over.
inline constexpr qsizetype kMaxNameLength = 200;

// rcRacers.dat: one quoted name per line, in file order. Empty names are skipped.
// A missing file is an error (the list is then empty), and so is a name holding
// control characters (the whole file is refused: the list is empty).
LoadResult<QStringList> parseRoster(const QByteArray& bytes, const QString& fileName);
LoadResult<QStringList> loadRoster(const QString& path);
QByteArray serializeRoster(const QStringList& names);
std::optional<ConfigError> saveRoster(const QString& path, const QStringList& names);
// Adds one line at the end (the file is created if missing); the whole file is
// still rewritten through a temporary file.
std::optional<ConfigError> appendToRoster(const QString& path, const QString& name);

// Racers.dat: the names on flags 1..6 on one line. A missing file or missing fields
// give empty names and no error; only a file that exists but cannot be read, or a
// malformed text, is an error (the names read so far are kept). A name holding
// control characters refuses the whole file: every name is empty. A name longer
// than kMaxNameLength is left out (that flag has none) and said in the error.
LoadResult<PerFlag<QString>> parseRacerNames(const QByteArray& bytes, const QString& fileName);
LoadResult<PerFlag<QString>> loadRacerNames(const QString& path);
QByteArray serializeRacerNames(const PerFlag<QString>& names);
std::optional<ConfigError> saveRacerNames(const QString& path, const PerFlag<QString>& names);

// RaceLag.dat: the lag column heading as one quoted text. Missing file or an empty
// text: "Lag First"; any text but the three headings is an error and gives "Lag First".
inline constexpr LagColumn kDefaultLagMode = LagColumn::LagFirst;
LoadResult<LagColumn> parseLagMode(const QByteArray& bytes, const QString& fileName);
LoadResult<LagColumn> loadLagMode(const QString& path);
std::optional<ConfigError> saveLagMode(const QString& path, LagColumn lagMode);

// RCSpeedMultiplier.dat: one number. A missing file is an error here; the caller
// decides the fallback (the multiplier of the current settings).
LoadResult<float> parseSpeedMultiplier(const QByteArray& bytes, const QString& fileName);
LoadResult<float> loadSpeedMultiplier(const QString& path);
QByteArray serializeSpeedMultiplier(float multiplier);
std::optional<ConfigError> saveSpeedMultiplier(const QString& path, float multiplier);

}  // namespace lapdeck
