#!/usr/bin/env bash
# Sets everything up, builds, and runs the program on the bundled sample archive.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target tarsel-archive-cli
build/src/tarsel-archive-cli dump samples/sample.arc
