#!/bin/sh
# Sets up a Debian 12 machine, builds Halvetra and starts it in
# demonstration mode in a ready working folder (./run).
set -eu
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/build.sh build
mkdir -p run
cd run
exec ../build/bin/halvet32 -d "$@"
