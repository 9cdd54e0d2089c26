#!/bin/sh
# Installs the Debian 12 packages that Halvetra builds and runs with, when
# they are missing. Runs as root, or through sudo.
set -eu

PACKAGES="build-essential cmake ninja-build ccache pkg-config git
qt6-base-dev qt6-base-dev-tools libgl-dev
libsqlite3-dev libftdi1-dev
libgtest-dev libgmock-dev googletest libbenchmark-dev
fonts-liberation poppler-utils"

missing=""
for package in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done

if [ -z "$missing" ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  run_as_root=""
elif command -v sudo >/dev/null 2>&1; then
  run_as_root="sudo"
else
  echo "Halvetra needs these packages and cannot install them without root:$missing" >&2
  exit 1
fi

echo "Installing:$missing"
$run_as_root apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $run_as_root apt-get install -y -qq --no-install-recommends $missing
