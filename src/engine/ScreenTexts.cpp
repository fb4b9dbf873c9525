#include "ScreenTexts.h"

namespace lapdeck {

using namespace captions;

QString FlagName::caption() const {
    switch (state) {
        case NameState::Named:
            return QLatin1Char(' ') + name;
        case NameState::SelectName:
            return QLatin1Char(' ') + kSelectName;
        case NameState::Empty:
            return QLatin1Char(' ') + kEmpty;
        case NameState::Disabled:
            break;
    }
    return QLatin1Char(' ') + kDisabled;
}

QString FlagName::stored() const {
    switch (state) {
        case NameState::Named:
            return name.trimmed();
        case NameState::Empty:
            return kEmpty;
        case NameState::SelectName:
        case NameState::Disabled:
            break;
    }
    return kSelectName;
}

FlagName flagNameOf(bool disabled, const QString& racerName) {
    if (disabled) {
        return {NameState::Disabled, {}};
    }
    const QString trimmed = racerName.trimmed();
    if (trimmed.isEmpty() || trimmed == kSelectName) {
        return {NameState::SelectName, {}};
    }
    if (trimmed == kEmpty) {
        return {NameState::Empty, {}};
    }
    return {NameState::Named, racerName};
}

QString columnCaption(BestColumn column) {
    switch (column) {
        case BestColumn::BestLap:
            return kBestLap;
        case BestColumn::Mph:
            return kMph;
        case BestColumn::Median:
            break;
    }
    return kMedian;
}

QString columnCaption(LagColumn column) {
    switch (column) {
        case LagColumn::LagBehind:
            return kLagBehind;
        case LagColumn::LagFirst:
            return kLagFirst;
        case LagColumn::Median:
            break;
    }
    return kMedian;
}

std::optional<LagColumn> lagColumnNamed(const QString& caption) {
    for (const LagColumn column : {LagColumn::LagBehind, LagColumn::LagFirst, LagColumn::Median}) {
        if (caption == columnCaption(column)) {
            return column;
        }
    }
    return std::nullopt;
}

}  // namespace lapdeck
