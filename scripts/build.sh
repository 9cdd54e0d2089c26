#!/bin/sh
# Configures and builds one build folder: scripts/build.sh <folder> [cmake options...]
# The scripts build without debug information.
set -eu
cd "$(dirname "$0")/.."
folder="$1"
shift
jobs="$(nproc 2>/dev/null || echo 2)"
cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVETRA_DEBUG_INFO=OFF "$@" >/dev/null
cmake --build "$folder" --parallel "$jobs"
