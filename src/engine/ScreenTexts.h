#pragma once

#include <optional>

#include <QString>

namespace lapdeck {

// What the two switchable columns of the race screen show. The race decides on
// these; their headings are only drawn.
enum class BestColumn { BestLap, Mph, Median };
enum class LagColumn { LagBehind, LagFirst, Median };

// What a flag's name cell stands for: a racer, no racer chosen yet, a lane left
// empty on purpose, or a disabled lane.
enum class NameState { Named, SelectName, Empty, Disabled };

// A flag's name as the race sees it; `name` is the racer's (Named only).
struct FlagName {
    NameState state = NameState::SelectName;
    QString name;

    // The name cell's caption: " " and the name, " Select Name", " Empty" or " Disabled".
    QString caption() const;
    // What Racers.dat keeps: the name trimmed, or "Select Name" or "Empty" (a disabled
    // lane keeps what it had, so the caller does not ask).
    QString stored() const;

    bool operator==(const FlagName&) const = default;
};

// The name of a flag with `racerName` stored. The pickers store the words "Select
// Name" and "Empty" as names, so those (and no name at all) are states, not racers.
FlagName flagNameOf(bool disabled, const QString& racerName);

// The words the race screen, the files and the printouts show, in one place.
namespace captions {

inline const QString kBestLap = QStringLiteral("Best Lap");
inline const QString kMph = QStringLiteral("MPH");
inline const QString kMedian = QStringLiteral("Median");
inline const QString kLagBehind = QStringLiteral("Lag Behind");
inline const QString kLagFirst = QStringLiteral("Lag First");

inline const QString kSelectName = QStringLiteral("Select Name");
inline const QString kDisabled = QStringLiteral("Disabled");
inline const QString kEmpty = QStringLiteral("Empty");

inline const QString kCrLf = QStringLiteral("\r\n");

}  // namespace captions

// The headings of the two columns.
QString columnCaption(BestColumn column);
QString columnCaption(LagColumn column);
// The lag column named by its heading (as RaceLag.dat keeps it); nothing for any other text.
std::optional<LagColumn> lagColumnNamed(const QString& caption);

}  // namespace lapdeck
