#include "ReportParser.h"

#include "NumberFormat.h"

namespace lapdeck {

int16_t parseReport(QStringView text) {
    const double rounded = roundHalfEven(leadingNumber(text));
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) {
        return 0;
    }
    return static_cast<int16_t>(rounded);
}

}  // namespace lapdeck
