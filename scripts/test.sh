#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test, then runs each fuzzer for a short while.
# Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
# Compiler cache entries name paths relative to the checkout, so that another clone of the
# project on the same machine reuses them.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build-ci -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAEDE_SANITIZE=ON -DKAEDE_BUILD_BENCH=ON
cmake --build build-ci -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build-ci --output-on-failure -j2
# The readers of outside data under libFuzzer (clang): a short run of every fuzzer.
cmake -S fuzz -B build-ci-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DKAEDE_FUZZ_SECONDS="${KAEDE_FUZZ_SECONDS:-20}"
cmake --build build-ci-fuzz -j2
ctest --test-dir build-ci-fuzz --output-on-failure -j2
