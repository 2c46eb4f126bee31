#!/usr/bin/env bash
# Configures and builds the project in build/ (installs missing packages first)
# with the flags the Debian package is built with (scripts/package), so that the
# package test packs these very programs instead of building them again.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARY_HARDENING=ON \
  -DTESSARY_DEBUG_SYMBOLS_PACKAGE=ON -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$root/build" -j"$(nproc)"
