#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the programs and starts the address book on the
# sample book, in a data folder under the home folder (made, with the sample book, on first
# use). Without a display it shows the sample book through the command line instead.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=Release -DKAEDE_BUILD_TESTS=OFF -DKAEDE_BUILD_BENCH=OFF
cmake --build build-run -j2
data="${KAEDE_DATA:-$HOME/KaedeAddress}"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build-run/bin/KaedeAddress "/D$data"
fi
echo "No display: the sample book through the command line (start build-run/bin/KaedeAddress on a desktop)."
build-run/bin/kaede --version
build-run/bin/kaede list build-run/bin/住所録.kad
