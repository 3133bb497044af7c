#!/bin/sh
# Regenerates the sample archive (sample.arc and its documents store) in this folder.
# The output is the same on every run on one machine; the page pictures depend on the
# installed fonts (DejaVu Sans).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${TARSEL_SAMPLE_BUILD:-$root/build-sample}
cmake -S "$root" -B "$build" -G Ninja -DTARSEL_BENCH=OFF >/dev/null
cmake --build "$build" --target make-sample
QT_QPA_PLATFORM=offscreen "$build/samples/make-sample" "$here"
