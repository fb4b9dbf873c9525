#include "ApplyConfig.h"

#include <algorithm>

#include "NumberFormat.h"
#include "ValueLists.h"

namespace lapdeck {
namespace {

int16_t wholeNumberOf(const QString& text) {
    const double value = roundHalfEven(leadingNumber(text));
    return static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0));
}

}  // namespace

void applyLiveSettings(const Settings& settings, LiveConfig& live) {
    for (int i = 1; i <= kFlags; ++i) {
        live.disabled[i] = settings.disabled[i];
        live.swatchColour[i] = settings.swatchColour[i];
    }
    live.minLapText = settings.minLapText();
    live.delayText = settings.delayText();
    live.firstLapText = settings.firstLapText();
}

void applySettings(const Settings& settings, RaceState& state) {
    state.TrackLength = wholeNumberOf(settings.trackLengthText());
    state.ModelScale = settings.scaleText();
    if (const auto factor = convertScale(state.ModelScale)) {
        state.ScaleFactor = *factor;
    }
    state.MinLapTime = static_cast<float>(leadingNumber(settings.minLapText()));
    state.StartDelay = wholeNumberOf(settings.delayText());
    state.CommPort = wholeNumberOf(settings.portText());
    state.FirstLapIndex = static_cast<int16_t>(wholeNumberOf(settings.firstLapText()) - 1);
    for (int i = 1; i <= kFlags; ++i) {
        state.LaneColorName[i] = settings.colourName[i];
        state.FlagColor[i] = settings.swatchColour[i];
    }
    applyLiveSettings(settings, state.live);
}

void applyLiveRaceFormat(const RaceFormat& format, LiveConfig& live) {
    const RaceOption option = format.option();
    live.optPractice = option == RaceOption::Practice;
    live.optLapRace = option == RaceOption::LapRace;
    live.optTimedRace = option == RaceOption::TimedRace;
    live.demo = format.demo;
}

void applyRaceFormat(const RaceFormat& format, RaceState& state) {
    state.RaceLaps = format.raceLaps();
    state.RaceMinutes = format.raceMinutes();
    const RaceOption option = format.option();
    state.IsPractice = option == RaceOption::Practice;
    state.IsLapRace = option == RaceOption::LapRace;
    state.IsTimedRace = option == RaceOption::TimedRace;
    applyLiveRaceFormat(format, state.live);
}

}  // namespace lapdeck
