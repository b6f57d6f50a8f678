#!/usr/bin/env bash
# Builds the Debian package kaede-address_VERSION_ARCH.deb from a Release build (in
# build-package/, or the folder given), checks it (scripts/check-package.sh) and leaves it in
# the top folder of the checkout. Install it with: sudo apt-get install ./kaede-address_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build="${1:-build-package}"
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKAEDE_BUILD_TESTS=OFF -DKAEDE_BUILD_BENCH=OFF
cmake --build "$build" -j2
(cd "$build" && cpack -G DEB)
deb=$(ls -t "$build"/kaede-address_*.deb | head -1)
cp "$deb" .
./scripts/check-package.sh "./$(basename "$deb")"
echo "package: $(basename "$deb")"
