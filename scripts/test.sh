#!/bin/sh
# Sets up a Debian 12 machine, builds Halvetra and runs every test through
# CTest (windows on Qt's offscreen platform), then builds the tests again
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs them too.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
jobs="$(nproc 2>/dev/null || echo 2)"
export QT_QPA_PLATFORM=offscreen

echo "== Build and test"
scripts/build.sh build
ctest --test-dir build --parallel "$jobs" --output-on-failure --timeout 300

echo "== Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/build.sh build-sanitize -DHALVETRA_SANITIZE=ON -DHALVETRA_BENCHMARKS=OFF
ctest --test-dir build-sanitize --parallel "$jobs" --output-on-failure --timeout 600
