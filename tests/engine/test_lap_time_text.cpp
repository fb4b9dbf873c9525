#include "LapTimeText.h"

#include <gtest/gtest.h>

#include "TestHelpers.h"

namespace lapdeck::test {
namespace {

// Every place's rule side by side, worked out by hand: the race screen (and the
// callouts), its best lap, the summary's best lap; then a stored lap as the files
// and medians write it, as a lap table cell, and as printed.
TEST(LapTimeText, EachPlaceKeepsItsOwnRule) {
    const std::tuple<int32_t, const char*, const char*, const char*> fromMs[] = {
        {1235, "1.24", "1.24 ", "1.24"},
        {59996, "60.00", "60.00 ", "60.00"},
        {61500, "62", "61.50 ", "61.50"},
        {125400, "125", "125.40 ", "125.40"},
        {999999, "1000", "", "1000.00"}};
    for (const auto& [ms, screen, best, summary] : fromMs) {
        EXPECT_EQ(screenLapTime(ms) + u'|' + calloutLapTime(ms) + u'|' + screenBestLap(ms) + u'|' +
                      summaryBestLap(ms),
                  qs(screen) + u'|' + qs(screen) + u'|' + qs(best) + u'|' + qs(summary))
            << ms;
    }
    const std::tuple<float, const char*, const char*, const char*> stored[] = {
        {12.34f, "12.34", "12.34", " 12.34 "},
        {7.0f, "7.00", "7.00", " 7 "},
        {0.0f, "0.00", "", " 0 "},
        {0.004f, "0.00", "", " 0 "},
        {1.005f, "1.01", "1.01", " 1.01 "},
        {120.5f, "120.50", "120.50", " 120.5 "}};
    for (const auto& [seconds, text, cell, printed] : stored) {
        EXPECT_EQ(
            storedLapTime(seconds) + u'|' + lapCellText(seconds) + u'|' + printedLapTime(seconds),
            qs(text) + u'|' + qs(cell) + u'|' + qs(printed))
            << seconds;
    }
}

}  // namespace
}  // namespace lapdeck::test
