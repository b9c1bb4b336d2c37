#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing) and builds it.
# Usage: [HALVEX_TARGETS="a b"] scripts/setup.sh [build-dir] [extra cmake options...]
# Builds every target, or only those named in HALVEX_TARGETS.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make pkg-config dpkg-dev file qt6-base-dev qt6-serialport-dev qt6-multimedia-dev
          qt6-webengine-dev libgl-dev libglx-dev xvfb xauth xdotool imagemagick fonts-dejavu-core
          cups printer-driver-cups-pdf poppler-utils libxlsxwriter-dev
          python3-openpyxl locales libqt6sql6-sqlite libqt6sql6-psql postgresql clang
          libclang-rt-14-dev clang-tidy libicu-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The fault tests run one binary under a German locale, whose decimal comma must reach nothing
# the program writes or reads.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    $sudo_cmd locale-gen >/dev/null
fi

build=${1:-build}
shift || true
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
targets=()
for t in ${HALVEX_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$build" -j2 "${targets[@]}"
