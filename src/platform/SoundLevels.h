#pragma once

namespace lapdeck {

// The race cues give volume and pan in percent, as the sound procedures of the old
// mixer took them; that mixer worked in hundredths of a decibel (millibels).
// Volume: 100 % is full level, 0 % is -60 dB.
int volumeMillibels(int percent);
// Pan: 0 % is full left (-10000), 100 % full right (+10000), 50 % the centre.
int panMillibels(int percent);
// A level in millibels as a linear factor on the samples: 10^(mB / 2000).
double gainOf(int millibels);

// The factor for each channel of a cue played at `volumePercent` and `panPercent`:
// the pan attenuates the far channel only, as the old mixer did.
struct ChannelGains {
    double left = 1.0;
    double right = 1.0;
};
ChannelGains channelGains(int volumePercent, int panPercent);

}  // namespace lapdeck
