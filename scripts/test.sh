#!/usr/bin/env bash
# Sets everything up, builds and runs the whole test suite.
#   scripts/test.sh              all tests, normal build (build/)
#   scripts/test.sh --sanitize   core tests under AddressSanitizer + UBSan (build-asan/)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

if [ "${1:-}" = "--sanitize" ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARSEL_SANITIZE=ON -DTARSEL_BENCH=OFF
  cmake --build build-asan
  # the core: markup, text, archive, local and the command-line program
  ctest --test-dir build-asan --output-on-failure -L '^(markup|text|archive|local|cli)'
else
  cmake -S . -B build -G Ninja
  cmake --build build
  ctest --test-dir build --output-on-failure
fi
