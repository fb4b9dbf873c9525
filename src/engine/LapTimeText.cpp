#include "LapTimeText.h"

#include <cmath>

#include "NumberFormat.h"
#include "RaceState.h"

namespace lapdeck {

QString screenLapTime(int32_t ms) {
    return formatNumber(ms / 1000.0, ms >= 60000 ? u"00" : u"0.00");
}

QString calloutLapTime(int32_t ms) {
    return screenLapTime(ms);
}

QString screenBestLap(int32_t ms) {
    if (ms == kNoBestLap) {
        return {};
    }
    return summaryBestLap(ms) + QLatin1Char(' ');
}

QString summaryBestLap(int32_t ms) {
    return formatNumber(ms / 1000.0, u"0.00");
}

QString storedLapTime(float seconds) {
    return formatSingle(seconds, u"0.00");
}

QString lapCellText(float seconds) {
    QString text = storedLapTime(seconds);
    if (leadingNumber(text) == 0.0) {
        text.clear();
    }
    return text;
}

QString printedLapTime(float seconds) {
    const float rounded = static_cast<float>(leadingNumber(storedLapTime(seconds)));
    return (rounded < 0 ? u'-' : u' ') + shortestSingle(std::fabs(rounded)) + u' ';
}

}  // namespace lapdeck
