#!/usr/bin/env bash
# One command on a fresh Debian machine: installs what is needed, builds Lapdeck
# (Release) and starts it. Without lap-counter hardware the port fails and Lapdeck
# offers demo mode.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

BUILD=${LAPDECK_BUILD_DIR:-build/release}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DLAPDECK_BUILD_TESTS=OFF -DLAPDECK_BUILD_BENCH=OFF
cmake --build "$BUILD" --target lapdeck -j "$(nproc)"

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
exec "$BUILD/src/app/lapdeck" "$@"
