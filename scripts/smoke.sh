#!/usr/bin/env bash
# smoke.sh PROGRAM: starts Lapdeck offscreen with a fresh data folder for about two
# seconds and checks that it is still running, then stops it. A port dialog at
# start-up does not matter: the program only has to be alive.
set -uo pipefail
prog=${1:?usage: smoke.sh PROGRAM}

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

LAPDECK_DATA_DIR="$data" "$prog" >"$data/out.log" 2>&1 &
pid=$!
sleep 2
if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    echo "smoke: $prog exited early (status $?)" >&2
    cat "$data/out.log" >&2
    exit 1
fi
kill "$pid"
wait "$pid" 2>/dev/null
for f in RCSettings.dat RaceFormatSettings.dat Racers.dat rcRacers.dat RaceLag.dat RCSpeedMultiplier.dat; do
    [[ -f "$data/$f" ]] || { echo "smoke: $f was not seeded" >&2; exit 1; }
done
echo "smoke: $prog ran for 2 s and seeded its data folder"
