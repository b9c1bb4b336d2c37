#!/usr/bin/env bash
# Sets up, builds with warnings as errors, and runs the whole test suite; then the same suite
# again under the address and undefined-behaviour sanitizers. Ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1

scripts/setup.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DHALVEX_WERROR=ON -DHALVEX_SANITIZE=ON
# A PDF printer queue as the default printer, for the slip printed through the print system.
bash scripts/cups-pdf-queue.sh
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j2

scripts/setup.sh build -DHALVEX_WERROR=ON
ctest --test-dir build --output-on-failure -j2
