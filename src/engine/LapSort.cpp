#include "LapSort.h"

#include <algorithm>

#include "LapTimeText.h"
#include "NumberFormat.h"

namespace lapdeck {

void subSortLapTimes(RaceState& s) {
    for (int f = 1; f <= kFlags; ++f) {
        const int count = std::clamp<int>(s.LapCount[f], 0, kMaxLap);
        auto& laps = s.SortedLapTimes[f];
        auto first = laps.begin() + 1;
        if (s.sortedUpTo[f] > count || s.sortedUpTo[f] < 0) {
            std::sort(first, first + count);
        } else {
            // Laps 1..sortedUpTo are in order already; each newer lap takes its place,
            // which gives what a full ascending sort would.
            for (int n = s.sortedUpTo[f] + 1; n <= count; ++n) {
                auto end = first + (n - 1);
                const float lap = laps[static_cast<size_t>(n)];
                auto at = std::upper_bound(first, end, lap);
                std::move_backward(at, end, end + 1);
                *at = lap;
            }
        }
        s.sortedUpTo[f] = static_cast<int16_t>(count);
    }
    for (int f = 1; f <= kFlags; ++f) {
        const double index = roundHalfEven(s.LapCount[f] / 2.0 + 1.0);
        const int i = std::clamp(static_cast<int>(index), 0, kMaxLap);
        s.MedianLap[f] = storedLapTime(s.SortedLapTimes[f][static_cast<size_t>(i)]);
    }
}

}  // namespace lapdeck
