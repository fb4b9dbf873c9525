#!/usr/bin/env bash
# Installs every Debian package Lapdeck's build, tests, tools and package need.
# Idempotent: packages already present are skipped by apt-get.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config clang-format dpkg-dev file
    qt6-base-dev qt6-serialport-dev qt6-multimedia-dev
    qt6-httpserver-dev qt6-websockets-dev libqrencode-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth socat pulseaudio espeak-ng sox imagemagick poppler-utils xdotool
    fonts-dejavu-core locales
)

SUDO=""
[[ $(id -u) -ne 0 ]] && SUDO="sudo"

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update
    $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The file tests also write with the system's messages in German, as a German
# desktop has them.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    $SUDO sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    $SUDO locale-gen
fi
