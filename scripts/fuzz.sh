#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, address and undefined-behaviour sanitizers) in
# build-fuzz and runs each for a bounded time from its seed corpus. Fails when any target finds a
# crash, a hang, a leak or a sanitizer report; the reproducer is left in build-fuzz/findings.
# Usage: [HALVEX_FUZZ_SECONDS=30] [HALVEX_FUZZ_TARGETS="reply_parser ..."] scripts/fuzz.sh
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${HALVEX_FUZZ_SECONDS:-30}
all_targets="reply_parser reply_reader data_files tips biff2 grid_sort grid_print time_slip entries_import"
targets=${HALVEX_FUZZ_TARGETS:-$all_targets}

build_targets=""
for t in $targets; do build_targets+=" fuzz_$t"; done
CC=clang CXX=clang++ HALVEX_TARGETS="$build_targets" scripts/setup.sh build-fuzz \
    -DHALVEX_WERROR=ON -DHALVEX_GUI=OFF -DHALVEX_BUILD_TESTS=OFF -DHALVEX_BUILD_FUZZERS=ON

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
findings=build-fuzz/findings
mkdir -p "$findings"
failed=()
for t in $targets; do
    # The run grows a copy of the corpus, so the repository's seeds stay as they are.
    mkdir -p "$scratch/$t"
    cp fuzz/corpus/"$t"/* "$scratch/$t"/
    echo "== fuzz_$t for ${seconds}s"
    if build-fuzz/bin/fuzz_"$t" "$scratch/$t" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -detect_leaks=1 -print_final_stats=1 \
        -artifact_prefix="$findings/$t-" >"$scratch/$t.log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^#[0-9]+ *DONE' "$scratch/$t.log" | tail -2
    else
        tail -60 "$scratch/$t.log"
        failed+=("$t")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzz targets failed: ${failed[*]} (reproducers in $findings)"
    exit 1
fi
echo "All fuzz targets ran clean: $targets"
