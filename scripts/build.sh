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
# at the CPU time one takes on average (measured on a cold build whose
# libraries and tests compile in batches: some 3.4 s on a current x86-64
# core, 4.5 s under the sanitizers), spread over the cores. A dry run cannot count
# them: the build re-checks its globbed folders first, which a dry run takes
# for a change.
steps="$(cmake --build "$folder" --target "$target" -- -t commands |
  sed -n 's|.* -o \([^ ]*\) .*|\1|p' |
  (cd "$folder" && while read -r output; do [ -e "$output" ] || echo "$output"; done) | wc -l)"
if grep -q '^HALVETRA_SANITIZE:BOOL=ON' "$folder/CMakeCache.txt"; then
  tenths_per_step=45
else
  tenths_per_step=34
fi
if [ "$steps" -eq 0 ]; then
  echo "building Halvetra: bringing the build up to date"
else
  minutes=$(( (steps * tenths_per_step + jobs * 600 - 1) / (jobs * 600) ))
  if [ "$minutes" -le 1 ]; then
    echo "building Halvetra, about 1 minute on this machine"
  else
    echo "building Halvetra, about $minutes minutes on this machine"
  fi
fi
cmake --build "$folder" --target "$target" --parallel "$jobs"
