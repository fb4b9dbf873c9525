#pragma once

#include <QString>

#include "NumberFormat.h"
#include "RaceState.h"

namespace lapdeck::results_detail {

inline const QString kCrLf = QStringLiteral("\r\n");

// Left-aligned in a field of `width`; a longer text is kept whole.
inline QString padRight(const QString& text, int width) {
    return text.size() >= width ? text : text + QString(width - text.size(), u' ');
}

// A whole number as plain digits.
inline QString wholeText(int value) {
    return formatNumber(value, u"0");
}

// A flag's racer as the lap table, the summary and the printouts name it.
inline QString resultName(const RaceState& state, int flag) {
    return state.isDisabled(flag) ? captions::kDisabled
                                  : state.RacerName[static_cast<size_t>(flag)];
}

}  // namespace lapdeck::results_detail
