#!/usr/bin/env bash
# Speaks and mixes Lapdeck's own race cues (espeak-ng and sox). Run from anywhere;
# the wave files are committed, so a build never needs a speech engine.
# Every cue: PCM, 22050 Hz, 2 channels, 16 bits, trimmed, normalised to -1 dB.
# sox -R makes noise and dither repeatable: a file changes only when this script does.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

speak() {  # file text
    espeak-ng -v en-us -s 150 -w "$tmp/voice.wav" "$2"
    sox -R "$tmp/voice.wav" -r 22050 -c 2 -b 16 -e signed-integer "$1" \
        silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse norm -1 pad 0.02 0.05
}

speak getready.wav "Get ready"
speak go.wav "Go!"
speak whiteflag2.wav "White flag. Last lap"
speak checkeredflag.wav "Checkered flag"
speak Raceover.wav "Race over"
speak 10seconds.wav "Ten seconds"
# The timed race has cues of its own names; its checkered flag says why it came.
speak CheckeredFlag.wav "Time is up. Checkered flag"
speak RaceOver.wav "Race over"

# Pass-by: band-passed pink noise and a falling sawtooth (the engine note dropping
# as the car goes away), swelling up and down and moving from left to right.
len=0.9
sox -R -n -r 22050 -c 1 -b 16 "$tmp/noise.wav" synth $len pinknoise sinc 300-3000 vol 0.6
sox -R -n -r 22050 -c 1 -b 16 "$tmp/saw.wav" synth $len sawtooth 520-300 vol 0.35
sox -R -m "$tmp/noise.wav" "$tmp/saw.wav" "$tmp/mono.wav" fade q 0.45 $len 0.45
sox -R "$tmp/mono.wav" "$tmp/left.wav" fade h 0 $len $len
sox -R "$tmp/mono.wav" "$tmp/right.wav" fade h $len
sox -R -M "$tmp/left.wav" "$tmp/right.wav" -b 16 -e signed-integer cargoingby.wav norm -1 pad 0.02 0.05
