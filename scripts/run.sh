#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the programs and runs the command line on the
# sample file of readings: its lines in the address book's Japanese order.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=Release -DKAEDE_BUILD_TESTS=OFF -DKAEDE_BUILD_BENCH=OFF
cmake --build build-run -j2
build-run/apps/kaede/kaede --version
build-run/apps/kaede/kaede sort examples/readings.txt
