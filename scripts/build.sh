#!/bin/sh
# Configures one build folder and builds one of its targets:
#   scripts/build.sh <folder> <target> [cmake options...]
# `program` is the program with what it runs, `tests` every test program,
# `all` everything. The scripts build without debug information.
set -eu
cd "$(dirname "$0")/.."
folder="$1"
target="$2"
shift 2
jobs="$(nproc 2>/dev/null || echo 2)"
cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVETRA_DEBUG_INFO=OFF "$@" >/dev/null

# The estimate: the compiler and linker runs whose output is still missing,
# at the CPU seconds one takes on average (some 3 on a current x86-64 core,
# 4 under the sanitizers), spread over the cores. A dry run cannot count
# them: the build re-checks its globbed folders first, which a dry run takes
# for a change.
steps="$(cmake --build "$folder" --target "$target" -- -t commands |
  sed -n 's|.* -o \([^ ]*\) .*|\1|p' |
  (cd "$folder" && while read -r output; do [ -e "$output" ] || echo "$output"; done) | wc -l)"
if grep -q '^HALVETRA_SANITIZE:BOOL=ON' "$folder/CMakeCache.txt"; then
  seconds_per_step=4
else
  seconds_per_step=3
fi
if [ "$steps" -eq 0 ]; then
  echo "building Halvetra: bringing the build up to date"
else
  minutes=$(( (steps * seconds_per_step + jobs * 60 - 1) / (jobs * 60) ))
  if [ "$minutes" -le 1 ]; then
    echo "building Halvetra, about 1 minute on this machine"
  else
    echo "building Halvetra, about $minutes minutes on this machine"
  fi
fi
cmake --build "$folder" --target "$target" --parallel "$jobs"
