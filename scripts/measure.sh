#!/usr/bin/env bash
# Measures the program as whole processes and runs the benchmarks behind docs/performance.md.
#   start-up: the program (settings and lists present, tips off, the simulated unit on COM1), the
#     same program over 10,000 racers and 10,000 cars, and a bare main window with a menu bar,
#     started in turn on the same Xvfb display, each timed from its launch until its main window
#     has been exposed and painted; medians, the ratio and what the long lists add
#   memory: the program's and the bare window's resident memory idle after start-up (the web page
#     window never opened), in turn in the same run; medians and the difference
#   a million racers: start-up to the main window, and resident memory at its peak and idle
#   benchmarks: the hot paths, the race path, the silent unit's 20 s, the diagnostics polls, and
#     250 races' memory growth (Release build in build-bench, offscreen platform)
#   events: a pass written per commit, a 64-car ladder computed and its bracket printed, an
#     event of 10,000 passes opened, Next Pair to the setup shown
#   stations: a tower and ten display stations on a private event server, 500 races: pass
#     written to shown on every display, and the winner light's path meanwhile
#   the event soak: 126 races through the windows with a display following, memory growth
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
cmake --build "$build" -j2 --target halvex halvex-bare-window halvex-bench halvex-timing-sim \
    >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/halvex-measure.XXXXXX")
home=$work/home
mkdir -p "$home/Halvex Stats" "$work/config"
cp share/sample-home/* "$home"/
# The per-user options live in the user's configuration folder: a folder of its own keeps the
# operator's untouched and switches the tips window off.
printf '[Options]\nShow%%20Tips%%20at%%20Startup=0\n' >"$work/config/halvex.conf"
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

# The same folder over long lists: names of about 45 characters in no order, quoted, CR LF.
names() {
    awk -v n="$1" -v kind="$2" 'BEGIN {
        split("Alice Bruno Carla Dmitri Elena Farid Greta Hiro Ines Jonas Kerstin Luis", first)
        split("Hartmann Diaz Nemeth Okafor Lindqvist Moreau Tanaka Wojcik Ferreira", last)
        srand(17)
        for (i = 1; i <= n; i++) {
            k = int(rand() * 1000000000)
            printf "\"%s %s-%s %s %09d\"\r\n", first[k % 12 + 1], last[int(k / 12) % 9 + 1],
                last[int(k / 108) % 9 + 1], kind, k
        }
    }'
}
for lists in 10k 1m; do
    mkdir -p "$work/home-$lists/Halvex Stats"
    cp share/sample-home/* "$work/home-$lists"/
    ln -s "$home/COM1" "$work/home-$lists/COM1"
done
names 10000 "Racing Team of the North" >"$work/home-10k/DragRacers.dat"
names 10000 "Funny Car Special Edition" >"$work/home-10k/DragCars.dat"
names 1000000 "Racing Team of the North" >"$work/home-1m/DragRacers.dat"

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

# Starts a program with the trace on and waits for its main window (HALVEX_WAIT seconds at most,
# default 6); leaves it running as $program and its start-up in milliseconds in $startup.
start_traced() {
    local out=$work/trace.out
    : >"$out"
    HALVEX_TRACE_STARTUP=$(date +%s%N) "$@" >"$out" 2>/dev/null &
    program=$!
    startup=""
    for _ in $(seq $((${HALVEX_WAIT:-6} * 50))); do
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

# The three programs started in turn: the program over the sample lists, the program over 10,000
# racers and 10,000 cars, the bare window.
labels=(program program-10k bare)
launch() {
    case $1 in
    program) HALVEX_HOME=$home start_traced "$build"/bin/halvex ;;
    program-10k) HALVEX_HOME=$work/home-10k start_traced "$build"/bin/halvex ;;
    bare) start_traced "$build"/bin/halvex-bare-window ;;
    esac
}

# One start-up of each first, so that none pays for a cold file cache.
for label in "${labels[@]}"; do
    launch "$label"
    stop_program
    : >"$work/$label.ms"
done
for _ in $(seq "$runs"); do
    for label in "${labels[@]}"; do
        launch "$label"
        echo "$startup" >>"$work/$label.ms"
        stop_program
    done
done
program_ms=$(median <"$work/program.ms")
long_ms=$(median <"$work/program-10k.ms")
bare_ms=$(median <"$work/bare.ms")
echo "Start-up to the main window, median of $runs each:" \
    "program $program_ms ms, bare window $bare_ms ms," \
    "ratio $(awk -v a="$program_ms" -v b="$bare_ms" 'BEGIN {printf "%.3f", a / b}') (target 1.25)"
echo "Program over 10,000 racers and 10,000 cars $long_ms ms:" \
    "$(awk -v a="$long_ms" -v b="$program_ms" 'BEGIN {printf "%.1f", a - b}') ms more" \
    "(target under 100 ms)"
for label in "${labels[@]}"; do
    echo "  $label runs: $(sort -g "$work/$label.ms" | tr '\n' ' ')"
done

# Resident memory once each has settled after start-up, the program and the bare window in turn.
memory_runs=${HALVEX_MEMORY_RUNS:-5}
: >"$work/program.kb"
: >"$work/bare.kb"
for _ in $(seq "$memory_runs"); do
    for label in program bare; do
        launch "$label"
        sleep 3
        echo "$(resident "$program" VmRSS) $(resident "$program" RssAnon) $(resident "$program" RssFile)" \
            "$(grep -c '\.so' "/proc/$program/maps" | tr -d ' ') $(awk '/\.so/ {print $6}' "/proc/$program/maps" | sort -u | wc -l)" \
            >>"$work/$label.kb"
        stop_program
    done
done
program_kb=$(cut -d' ' -f1 "$work/program.kb" | median)
bare_kb=$(cut -d' ' -f1 "$work/bare.kb" | median)
echo "Idle 3 s after start-up, median VmRSS of $memory_runs each: program $program_kb kB," \
    "bare window $bare_kb kB, $(awk -v a="$program_kb" -v b="$bare_kb" 'BEGIN {printf "%.1f", (a - b) / 1024}') MB" \
    "more (target at most 8 MB)"
for label in program bare; do
    echo "  $label (VmRSS, anonymous, files kB, .so mappings, .so files):" \
        "$(sort -g "$work/$label.kb" | tr '\n' ';')"
done

# A million racers: start-up, then resident memory at its peak and once settled.
HALVEX_HOME=$work/home-1m HALVEX_WAIT=120 start_traced "$build"/bin/halvex
sleep 3
echo "Program over 1,000,000 racers ($(du -m "$work/home-1m/DragRacers.dat" | cut -f1) MB):" \
    "main window after $startup ms (target under 5 s)," \
    "VmHWM $(resident "$program" VmHWM) kB, VmRSS $(resident "$program" VmRSS) kB idle" \
    "(target under 300 MB)"
stop_program
echo "Machine after the start-ups: load average $(cut -d' ' -f1-3 /proc/loadavg)"

[ "${HALVEX_MEASURE_BENCH:-1}" = 0 ] && exit 0
export QT_QPA_PLATFORM=offscreen
fast='ParseRaceReply|ProcessTimesAndWinner|SlipLayout|TopQualifiers|WorksheetOfTheLog'
fast+='|PageCountOfTheLog|ReportToStatisticsWindow|PassWritePerCommit'
# The events: a ladder computed, its bracket built and printed, a big event opened, Next Pair.
fast+='|LadderOf64Cars|BracketSheetOf64Cars|BracketPdfOf64Cars|EventOf10kPassesOpens'
fast+='|NextPairToTheSetupShown'
"$build"/bin/halvex-bench --benchmark_filter="^($fast)" --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true 2>&1 | grep -v '_mean\|_stddev\|_cv\|^This plugin'
# The winner light's clock counts microseconds of a race that takes milliseconds on the wall:
# at the default half second of counted time its three repetitions would take minutes.
"$build"/bin/halvex-bench --benchmark_filter='^ReportToWinnerLight' --benchmark_min_time=0.02 \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>&1 |
    grep -v '_mean\|_stddev\|_cv\|^This plugin'
"$build"/bin/halvex-bench --benchmark_filter='^(SilentUnitTwentySeconds|DiagnosticsPolling|RaceMemory)' \
    2>&1 | grep -v '^This plugin'

# The event server under a tower and ten display stations, on a private server: 500 races a
# tenth of a second apart, and the winner light's path timed again while they run.
cmake --build "$build" -j2 --target halvex-station halvex-station-load >/dev/null
# The server runs as its own user, who cannot enter the work folder.
pg_dir=$(mktemp -d -u /tmp/halvex-pg-measure.XXXXXX)
bash scripts/event-server.sh start "$pg_dir" 55799
"$build"/bin/halvex-station-load 55799 "$build"/bin/halvex-station 500 10 100 &
load=$!
sleep 8
echo "Winner light with a tower's link and ten displays busy:"
"$build"/bin/halvex-bench --benchmark_filter='^ReportToWinnerLight' --benchmark_min_time=0.02 \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>&1 |
    grep -v '_mean\|_stddev\|_cv\|^This plugin'
wait "$load" || echo "Some passes never reached a display."
bash scripts/event-server.sh stop "$pg_dir"

# A whole event through the windows with a display following (its memory growth is asserted
# under 10 MB and printed by the test).
cmake --build "$build" -j2 --target tst_event_soak halvex-station >/dev/null 2>&1 &&
    ctest --test-dir "$build" -L soak -V | grep -E 'kB more|tests passed|Failed'
echo "Machine at the end: load average $(cut -d' ' -f1-3 /proc/loadavg)"
