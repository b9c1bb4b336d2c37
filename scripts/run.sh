#!/usr/bin/env bash
# Sets up, builds, and runs the program against the timing unit simulator. The program folder
# (run/home) is laid out from share/sample-home on the first run and kept from then on, so lists
# and settings changed in one run are there in the next; delete it to start afresh. The
# simulator's log of every command it receives is run/timing-unit.log.
set -euo pipefail
cd "$(dirname "$0")/.."
HALVEX_TARGETS="halvex halvex-timing-sim" scripts/setup.sh build

home=$PWD/run/home
if [ ! -e "$home" ]; then
    # Laid out aside and then moved in place, so that an interrupted copy is not taken for a
    # program folder next time.
    mkdir -p run
    fresh=$(mktemp -d run/home.XXXXXX)
    cp share/sample-home/* "$fresh"/
    mv "$fresh" "$home"
fi
# The maker's web page and the tips came after some program folders were laid out.
cp -n share/sample-home/Vantora.html "$home"/
cp -n share/sample-home/TIPOFDAY.txt "$home"/

# Files the program brings with it reach a program folder laid out by an older version too.
cp -n share/sample-home/Coindrop.wav "$home"/
# The race data window proposes its spreadsheet files in this folder.
mkdir -p "$home/Halvex Stats"

# Whatever this script started is stopped when it ends, however it ends.
sim="" xvfb="" program=""
stop_started() {
    local pid
    for pid in $program $sim $xvfb; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap stop_started EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# A link left by a simulator that was killed outright would pass for the new one.
rm -f "$home/COM1"
build/bin/halvex-timing-sim --dir "$home" --port 1 --log run/timing-unit.log &
sim=$!
for _ in $(seq 50); do [ -e "$home/COM1" ] && break; sleep 0.1; done

if [ -z "${DISPLAY:-}" ]; then
    # The first display number from 99 up that no X server holds; should another server take it
    # first, this Xvfb stops at once and the next number is tried.
    display=99
    while [ -z "$xvfb" ]; do
        while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
            display=$((display + 1))
        done
        Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        pid=$!
        for _ in $(seq 50); do
            if [ -e "/tmp/.X11-unix/X$display" ] || ! kill -0 "$pid" 2>/dev/null; then
                break
            fi
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null; then
            xvfb=$pid
        else
            wait "$pid" 2>/dev/null || true
            [ "$display" -lt 199 ] || { echo "No free display for Xvfb" >&2; exit 1; }
            display=$((display + 1))
        fi
    done
    export DISPLAY=:$display
    echo "No DISPLAY: started Xvfb on :$display" \
        "(take screenshots with: DISPLAY=:$display import -window root shot.png)"
fi

# In the background, so that a signal to this script is handled while the program runs.
HALVEX_HOME="$home" build/bin/halvex &
program=$!
status=0
wait "$program" || status=$?
program=""
echo "Timing unit log:"
cat run/timing-unit.log
exit "$status"
