#!/usr/bin/env bash
# Sets up, builds, and runs the program against the timing unit simulator on a fresh program
# folder (run/home). The simulator's log of every command it receives is run/timing-unit.log.
set -euo pipefail
cd "$(dirname "$0")/.."
HALVEX_TARGETS="halvex halvex-timing-sim" scripts/setup.sh build

home=$PWD/run/home
rm -rf "$home"
mkdir -p "$home"
cp share/sample-home/* "$home"/

build/bin/halvex-timing-sim --dir "$home" --port 1 --log run/timing-unit.log &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$home/COM1" ] && break; sleep 0.1; done

if [ -z "${DISPLAY:-}" ]; then
    echo "No DISPLAY: starting Xvfb on :99 (take screenshots with: DISPLAY=:99 import -window root shot.png)"
    Xvfb :99 -screen 0 1280x1024x24 >/dev/null 2>&1 &
    export DISPLAY=:99
    sleep 1
fi
HALVEX_HOME="$home" build/bin/halvex
echo "Timing unit log:"
cat run/timing-unit.log
