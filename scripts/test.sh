#!/usr/bin/env bash
# Builds Lapdeck with warnings as errors, runs every test, then runs the tests
# again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
JOBS=$(nproc)

cmake -S . -B build/ci -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLAPDECK_WERROR=ON
cmake --build build/ci -j "$JOBS"
ctest --test-dir build/ci --output-on-failure -j "$JOBS" --timeout 300

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLAPDECK_WERROR=ON \
    -DLAPDECK_SANITIZE=ON -DLAPDECK_BUILD_BENCH=OFF
cmake --build build/asan -j "$JOBS"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/asan --output-on-failure -j "$JOBS" --timeout 600 -LE no-sanitize

# The program starts and stays up offscreen for a moment.
if [[ -x build/ci/src/app/lapdeck ]]; then
    bash scripts/smoke.sh build/ci/src/app/lapdeck
fi
