#!/bin/sh
# Sets up a Debian 12 machine, builds Halvetra (the program and what it runs
# with, no test) and starts it in demonstration mode in a ready working
# folder (./run).
set -eu
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/build.sh build program
mkdir -p run
cd run
# The language driver of the database, its tables and an example doctor,
# where they are missing, so that a patient can be entered at once. What is
# there already is kept.
../build/bin/halvetra-prepare "$@" || echo "The working folder is not fully prepared; see above." >&2
echo "starting"
exec ../build/bin/halvet32 -d "$@"
