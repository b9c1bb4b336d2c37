#!/usr/bin/env bash
# Sets up and runs the whole test suite under the address, undefined-behaviour and leak
# sanitizers (all but the browser engine's tests, which cannot run under them, and the event
# server's, the event soak's and the killed runs', whole processes that take their time and run
# in the normal build), then builds with warnings as errors, runs the whole suite there and checks
# src/ with clang-tidy. In between, the core alone (no widgets, printing, sound or browser engine)
# is built and its tests run. After the normal build's tests, its Debian package is installed and
# started once.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1

scripts/setup.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DHALVEX_WERROR=ON -DHALVEX_SANITIZE=ON
# A PDF printer queue as the default printer, for the slip printed through the print system.
bash scripts/cups-pdf-queue.sh
# Any report fails the test that made it; leaks of third-party libraries are listed, with their
# reasons, in the suppression file.
ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
    LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j2 -LE 'webengine|station|soak|kill'

# The core library, the simulator and the core tests on Qt Core alone.
scripts/setup.sh build-core -DHALVEX_GUI=OFF -DHALVEX_WERROR=ON
ctest --test-dir build-core --output-on-failure -j2 -LE station

scripts/setup.sh build -DHALVEX_WERROR=ON
ctest --test-dir build --output-on-failure -j2
# The Debian package from that build: its files and dependencies, installed with apt, started
# once headless against the simulator, removed again.
bash scripts/package-test.sh build

scripts/tidy.sh build
