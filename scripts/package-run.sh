#!/usr/bin/env bash
# Starts the installed program once, headless, against the installed timing unit simulator, as a
# new user would: a fresh data folder, no HALVEX_HOME. Fails unless the program folder is laid out
# from the sample, the main window shows and the start-up commands reach the unit.
# Runs on the machine (scripts/package-test.sh) and inside a clean root (scripts/package-check.sh).
set -euo pipefail
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
unset HALVEX_HOME

work=$(mktemp -d)
export HOME=$work XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
home=$XDG_DATA_HOME/halvex
log=$work/timing-unit.log

sim="" program=""
stop_started() {
    local pid
    for pid in $program $sim; do
        kill "$pid" 2>/dev/null || true
        # One that ignores the signal is not waited for.
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap stop_started EXIT

fail() {
    echo "package-run: $*" >&2
    [ -f "$work/program.out" ] && sed 's/^/  program: /' "$work/program.out" >&2
    exit 1
}

# The modules and the web page window's program are loaded only when first used: their libraries
# must be there all the same.
for f in /usr/lib/halvex/*; do
    ! ldd "$f" | grep "not found" || fail "$f lacks a library"
done

# The port linked before the first run, as an operator links an adapter: laying out must keep it.
mkdir -p "$home"
halvex-timing-sim --dir "$home" --port 1 --log "$log" &
sim=$!
for _ in $(seq 50); do [ -e "$home/COM1" ] && break; sleep 0.1; done
[ -e "$home/COM1" ] || fail "the simulator made no COM1 entry"

# Made first: the program opens it only once it has started.
: >"$work/program.out"
HALVEX_TRACE_STARTUP=$(date +%s%N) halvex >"$work/program.out" 2>&1 &
program=$!
startup=""
for _ in $(seq 1500); do
    startup=$(awk '/^startup-ms /{print $2}' "$work/program.out")
    [ -n "$startup" ] && break
    kill -0 "$program" 2>/dev/null || fail "the program ended before its main window showed"
    sleep 0.02
done
[ -n "$startup" ] || fail "no main window within 30 s"
echo "package-run: main window shown after $startup ms"

# Greeting, polarity and staging of the sample settings, then the zero handicap of the sample's
# saved tree (a Full Tree), one command a line as the unit got it.
expected='O\n
X\n
S\n
A\n0\n0\n'
for _ in $(seq 100); do
    [ "$(cat "$log" 2>/dev/null)" = "$expected" ] && break
    sleep 0.05
done
[ "$(cat "$log" 2>/dev/null)" = "$expected" ] ||
    fail "start-up bytes: expected $(printf %q "$expected"), the unit got $(printf %q "$(cat "$log")")"
echo "package-run: the unit got the start-up commands: $(tr '\n' ' ' <"$log")"

for f in DragRacingSettings.dat DragRacers.dat DragCars.dat DragClass.dat DragRacing.dat CreditRaces.dat; do
    cmp -s "$home/$f" "/usr/share/halvex/sample-home/$f" || fail "$f not laid out from the sample"
done
[ -L "$home/COM1" ] || fail "the COM1 link did not survive laying out"
for f in TIPOFDAY.txt Coindrop.wav Vantora.html; do
    [ ! -e "$home/$f" ] || fail "$f copied into the program folder; it is read from /usr/share/halvex"
done
echo "package-run: program folder laid out in $home: $(ls "$home" | tr '\n' ' ')"

# The tip of the day is up (a new user): the program ends on SIGTERM all the same.
kill "$program"
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.05; done
kill -0 "$program" 2>/dev/null && fail "the program did not end on SIGTERM within 5 s"
wait "$program" || fail "the program ended on SIGTERM with status $?"
program=""
echo "package-run: the program ended on SIGTERM"
