#!/bin/sh
# Sets up a Debian 12 machine, builds Halvetra and runs every test through
# CTest (windows on Qt's offscreen platform), then builds the tests without
# windows again with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs them too.
# Ends with the wall and CPU time of each phase.
set -eu
cd "$(dirname "$0")/.."
. scripts/phases.sh
trap phases_summary EXIT
jobs="$(nproc 2>/dev/null || echo 2)"
export QT_QPA_PLATFORM=offscreen

phase "packages" scripts/setup-debian.sh

# Everything: the program, its tools, the tests and the benchmarks (built
# so that they keep compiling, not run).
phase "normal build" scripts/build.sh build all
phase "normal tests" ctest --test-dir build --parallel "$jobs" --output-on-failure --timeout 300

# Under the sanitizers, the tests without windows and what they start:
# every library that keeps stored data, speaks to an instrument or
# calculates a clinical value is tested there, with the program's headless
# logic. The windows' tests and the window libraries under them would double
# the sanitizer phases; they run in the normal build only.
phase "sanitizer build" scripts/build.sh build-sanitize headless_tests -DHALVETRA_SANITIZE=ON -DHALVETRA_BENCHMARKS=OFF
phase "sanitizer tests" ctest --test-dir build-sanitize --label-regex headless --parallel "$jobs" --output-on-failure --timeout 600
