#!/usr/bin/env bash
# Runs clang-tidy with the checks in .clang-tidy over every source file in src/, two at a time;
# any report fails. Reads the compile commands of the given build directory (default: build),
# which must have been configured.
# Usage: scripts/tidy.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
if [ ! -f "$build/compile_commands.json" ]; then
    echo "tidy.sh: $build/compile_commands.json is missing; configure $build first" >&2
    exit 2
fi
find src -name '*.cpp' -print0 | sort -z |
    xargs -0 -P2 -n4 "$tidy" -p "$build" --quiet --warnings-as-errors='*'
echo "clang-tidy: src/ is clean"
