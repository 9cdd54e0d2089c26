#!/bin/sh
# Sets up a Debian 12 machine, builds Halvetra and runs every test through
# CTest (windows on Qt's offscreen platform), then builds the tests again
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs them too.
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

# Only the tests and what they start: the sanitizers check the code the
# tests drive, and the program's own executables add nothing to that.
phase "sanitizer build" scripts/build.sh build-sanitize tests -DHALVETRA_SANITIZE=ON -DHALVETRA_BENCHMARKS=OFF
phase "sanitizer tests" ctest --test-dir build-sanitize --parallel "$jobs" --output-on-failure --timeout 600
