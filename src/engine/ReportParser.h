#pragma once

#include <cstdint>

#include <QString>

namespace lapdeck {

// The flag number a report names: its leading number rounded to a whole number
// (halves to even); 0 when the text holds no number or one that does not fit 16 bits.
int16_t parseReport(QStringView text);

}  // namespace lapdeck
