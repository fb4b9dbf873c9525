#include "SoundLevels.h"

#include <algorithm>
#include <cmath>

namespace lapdeck {

int volumeMillibels(int percent) {
    return std::clamp(percent, 0, 100) * 60 - 6000;
}

int panMillibels(int percent) {
    const int p = std::clamp(percent, 0, 100);
    if (p == 0) {
        return -10000;
    }
    if (p == 100) {
        return 10000;
    }
    return p * 100 - 5000;
}

double gainOf(int millibels) {
    return std::pow(10.0, millibels / 2000.0);
}

ChannelGains channelGains(int volumePercent, int panPercent) {
    const double level = gainOf(volumeMillibels(volumePercent));
    const int pan = panMillibels(panPercent);
    // Panned right, the left channel is turned down by the pan's millibels, and
    // the other way round.
    return {level * gainOf(std::min(0, -pan)), level * gainOf(std::min(0, pan))};
}

}  // namespace lapdeck
