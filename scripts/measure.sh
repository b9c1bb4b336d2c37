#!/usr/bin/env bash
# Measures the program as whole processes and runs the benchmarks behind docs/performance.md.
#   start-up: the program (settings and lists present, tips off, the simulated unit on COM1) and a
#     bare main window with a menu bar, started in turn on the same Xvfb display, each timed from
#     its launch until its main window has been exposed and painted; medians and their ratio
#   memory: the program's resident memory idle after start-up (the web page window never opened)
#   benchmarks: the hot paths, the race path, the silent unit's 20 s, the diagnostics polls, and
#     250 races' memory growth (Release build in build-bench, offscreen platform)
# Usage: scripts/measure.sh [start-ups of each, default 21]
# HALVEX_MEASURE_BENCH=0 skips the benchmarks; HALVEX_DIAG_SECONDS shortens the minute of polls.
# Not run in CI: it takes about six minutes on a busy machine.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-21}
build=build-bench

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DHALVEX_BUILD_BENCHMARKS=ON "${launcher[@]}" \
    >/dev/null
cmake --build "$build" -j2 --target halvex halvex-bare-window halvex-bare-window-web halvex-bench \
    halvex-timing-sim >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/halvex-measure.XXXXXX")
home=$work/home
mkdir -p "$home/Halvex Stats" "$work/config/Halvex"
cp share/sample-home/* "$home"/
# The per-user options live in the user's configuration folder: a folder of its own keeps the
# operator's untouched and switches the tips window off.
printf '[Options]\nShow%%20Tips%%20at%%20Startup=0\n' >"$work/config/Halvex/Halvex 3000.conf"
export XDG_CONFIG_HOME=$work/config HALVEX_HOME=$home QTWEBENGINE_DISABLE_SANDBOX=1

# Whatever this script started is stopped when it ends, however it ends.
sim="" xvfb="" program=""
stop_started() {
    local pid
    for pid in $program $sim $xvfb; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap stop_started EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

"$build"/bin/halvex-timing-sim --dir "$home" --port 1 --log "$work/timing-unit.log" &
sim=$!
for _ in $(seq 50); do [ -e "$home/COM1" ] && break; sleep 0.1; done

# The first display number from 99 up that no X server holds (as scripts/run.sh finds it).
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
export DISPLAY=:$display QT_QPA_PLATFORM=xcb

# Starts a program with the trace on and waits for its main window; leaves it running as
# $program and its start-up in milliseconds in $startup.
start_traced() {
    local out=$work/trace.out
    : >"$out"
    HALVEX_TRACE_STARTUP=$(date +%s%N) "$@" >"$out" 2>/dev/null &
    program=$!
    startup=""
    for _ in $(seq 300); do
        startup=$(awk '/^startup-ms /{print $2}' "$out")
        [ -n "$startup" ] && return 0
        kill -0 "$program" 2>/dev/null || break
        sleep 0.02
    done
    echo "No main window from $1" >&2
    exit 1
}
stop_program() {
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
    program=""
}
median() { sort -g | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
resident() { awk -v k="$2:" '$1==k {print $2}' "/proc/$1/status"; }

echo "Machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"

# One start-up of each first, so that neither pays for a cold file cache.
# The bare window linked with the web page window's engine shows what the engine's libraries
# alone cost.
exes=(halvex halvex-bare-window halvex-bare-window-web)
for exe in "${exes[@]}"; do
    start_traced "$build/bin/$exe"
    stop_program
    : >"$work/$exe.ms"
done
for _ in $(seq "$runs"); do
    for exe in "${exes[@]}"; do
        start_traced "$build/bin/$exe"
        echo "$startup" >>"$work/$exe.ms"
        stop_program
    done
done
program_ms=$(median <"$work/halvex.ms")
bare_ms=$(median <"$work/halvex-bare-window.ms")
web_ms=$(median <"$work/halvex-bare-window-web.ms")
echo "Start-up to the main window, median of $runs each:" \
    "program $program_ms ms, bare window $bare_ms ms," \
    "ratio $(awk -v a="$program_ms" -v b="$bare_ms" 'BEGIN {printf "%.3f", a / b}') (target 1.25);" \
    "bare window with the web engine linked $web_ms ms"
for exe in "${exes[@]}"; do
    echo "  $exe runs: $(sort -g "$work/$exe.ms" | tr '\n' ' ')"
done

# Resident memory once the program has settled after start-up.
start_traced "$build"/bin/halvex
sleep 5
echo "Program idle 5 s after start-up: VmRSS $(resident "$program" VmRSS) kB" \
    "(anonymous $(resident "$program" RssAnon) kB, files $(resident "$program" RssFile) kB," \
    "shared memory $(resident "$program" RssShmem) kB) (target under 45 MB)"
stop_program
for exe in halvex-bare-window halvex-bare-window-web; do
    start_traced "$build/bin/$exe"
    sleep 5
    echo "$exe idle: VmRSS $(resident "$program" VmRSS) kB" \
        "(anonymous $(resident "$program" RssAnon) kB, files $(resident "$program" RssFile) kB)"
    stop_program
done
echo "Machine after the start-ups: load average $(cut -d' ' -f1-3 /proc/loadavg)"

[ "${HALVEX_MEASURE_BENCH:-1}" = 0 ] && exit 0
export QT_QPA_PLATFORM=offscreen
fast='ParseRaceReply|ProcessTimesAndWinner|SlipLayout|TopQualifiers|WorksheetOfTheLog'
fast+='|PageCountOfTheLog|ReportToStatisticsWindow|JournalAppendPerCommit'
"$build"/bin/halvex-bench --benchmark_filter="^($fast)" --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true 2>&1 | grep -v '_mean\|_stddev\|_cv\|^This plugin'
# The winner light's clock counts microseconds of a race that takes milliseconds on the wall:
# at the default half second of counted time its three repetitions would take minutes.
"$build"/bin/halvex-bench --benchmark_filter='^ReportToWinnerLight' --benchmark_min_time=0.02 \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>&1 |
    grep -v '_mean\|_stddev\|_cv\|^This plugin'
"$build"/bin/halvex-bench --benchmark_filter='^(SilentUnitTwentySeconds|DiagnosticsPolling|RaceMemory)' \
    2>&1 | grep -v '^This plugin'
echo "Machine at the end: load average $(cut -d' ' -f1-3 /proc/loadavg)"
