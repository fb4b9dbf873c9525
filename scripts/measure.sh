#!/usr/bin/env bash
# measure.sh [PROGRAM] [SECONDS]: runs lapdeck-measure, the program with a hook that
# starts a six-car demo race at once, for SECONDS (60) on a private Xvfb display
# (offscreen when Xvfb is missing) and prints CPU use during the race, resident
# memory, the time from start to the window shown, the race clock against wall
# time, and how long the ticks take while the race is journaled. Targets: < 3 % CPU,
# < 100 MB, < 1 s, within 2 ms. Then the same race again served as live results to
# LIVE_WATCHERS (50; 0 skips it) pages on 127.0.0.1: the longest tick gap against the
# first run (target within 2 ms) and the CPU that serving takes.
set -euo pipefail
cd "$(dirname "$0")/.."
prog=${1:-build/release/tools/measure/lapdeck-measure}
seconds=${2:-60}
[[ -x "$prog" ]] || { echo "measure: build first (cmake --build build/release --target lapdeck-measure)" >&2; exit 2; }

data=$(mktemp -d)
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
xvfb=""
cleanup() { [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null; rm -rf "$data"; }
trap cleanup EXIT
if command -v Xvfb >/dev/null; then
    display=":$((200 + RANDOM % 300))"
    Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    sleep 0.5
    export DISPLAY=$display QT_QPA_PLATFORM=xcb
else
    export QT_QPA_PLATFORM=offscreen
fi

start=$(date +%s.%N)
out=$(LAPDECK_DATA_DIR="$data" timeout $((seconds + 30)) "$prog" "$seconds" 2>/dev/null)
get() { sed -n "s/^$1=//p" <<<"$out"; }

shown=$(get shown_at_epoch)
echo "start to window shown: $(awk -v a="$start" -v b="$shown" 'BEGIN{printf "%.3f s", b-a}') (target < 1 s)"
echo "CPU during the race:   $(get cpu_percent) % of one core over $(get race_seconds) s (target < 3 %)"
echo "resident memory:       $(awk -v k="$(get rss_kib)" 'BEGIN{printf "%.1f MB", k/1024}') (target < 100 MB)"
clock=$(get race_clock_ms)
wall=$(get wall_ms)
echo "race clock vs wall:    $clock ms vs $wall ms, off by $(awk -v c="$clock" -v w="$wall" 'BEGIN{d=c-w; if(d<0)d=-d; printf "%.3f", d}') ms (target within 2 ms)"
echo "laps counted:          $(get laps_counted), journal $(get journal_bytes) bytes"
echo "tick to tick:          p99 $(get tick_gap_p99_ms) ms, longest $(get tick_gap_max_ms) ms over $(get ticks) ticks (10 ms timer)"
gap_alone=$(get tick_gap_max_ms)
cpu_alone=$(get cpu_percent)
echo "tick handling:         p99 $(get tick_work_p99_ms) ms, longest $(get tick_work_max_ms) ms (timer fired to screen drawn, journal included)"

watchers=${LIVE_WATCHERS:-50}
((watchers > 0)) || exit 0
# Each watcher is a connection reading the pushed events into a file until the server
# goes away with the race.
mkdir "$data/live" "$data/pages"
LAPDECK_DATA_DIR="$data/live" LAPDECK_MEASURE_LIVE=1 timeout $((seconds + 30)) "$prog" "$seconds" \
    >"$data/live.txt" 2>/dev/null &
race=$!
for _ in {1..100}; do grep -q '^live_port=' "$data/live.txt" && break; sleep 0.1; done
port=$(sed -n 's/^live_port=//p' "$data/live.txt")
pages=()
for ((i = 0; i < watchers; i++)); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port" && printf 'GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n' >&3 &&
        timeout $((seconds + 30)) cat <&3 >"$data/pages/$i") 2>/dev/null &
    pages+=($!)
done
wait "$race" || true
wait "${pages[@]}" || true
out=$(<"$data/live.txt")
watching=$(grep -l '^HTTP/1.1 200' "$data"/pages/* 2>/dev/null | wc -l)
events=$(cat "$data"/pages/* | grep -c '^data: {' || true)
echo "live results:          $watching of $watchers pages watching, $((events / (watching > 0 ? watching : 1))) events each"
echo "tick to tick, served:  p99 $(get tick_gap_p99_ms) ms, longest $(get tick_gap_max_ms) ms, $(awk -v a="$(get tick_gap_max_ms)" -v b="$gap_alone" 'BEGIN{printf "%+.3f", a-b}') ms against the run without watchers (target within 2 ms)"
echo "tick handling, served: p99 $(get tick_work_p99_ms) ms, longest $(get tick_work_max_ms) ms"
echo "CPU, served:           $(get cpu_percent) % of one core, $(awk -v a="$(get cpu_percent)" -v b="$cpu_alone" 'BEGIN{printf "%+.2f", a-b}') % for serving"
