#!/bin/sh
# Builds every fuzz/fuzz_*.cpp target with clang, libFuzzer and the sanitizers, then runs
# each one for a bounded time.
#   fuzz/run.sh [SECONDS_PER_TARGET]   (default 60)
# Corpora live in fuzz/corpus-<name>/ (not in git); findings are written to
# fuzz/crash-<name>-* and listed at the end.
set -eu

seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARSEL_FUZZ=ON -DTARSEL_SANITIZE=ON -DTARSEL_BENCH=OFF >/dev/null

targets=
for src in "$here"/fuzz_*.cpp; do
    [ -e "$src" ] || continue
    targets="$targets $(basename "$src" .cpp)"
done
if [ -z "$targets" ]; then
    echo "no fuzz targets" >&2
    exit 1
fi
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $targets

status=0
summary=
for name in $targets; do
    corpus="$here/corpus-$name"
    mkdir -p "$corpus"
    log="$build/$name.log"
    echo "== $name: $seconds s"
    set +e
    ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
        "$build/fuzz/$name" "$corpus" -max_total_time="$seconds" -rss_limit_mb=4096 \
        -artifact_prefix="$here/crash-$name-" -print_final_stats=1 >"$log" 2>&1
    rc=$?
    set -e
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    findings=$(ls "$here"/crash-"$name"-* 2>/dev/null | wc -l)
    line="$name: ${runs:-?} executions, exit $rc, $findings finding(s), corpus $(ls "$corpus" | wc -l) files"
    echo "$line"
    summary="$summary$line\n"
    if [ "$rc" -ne 0 ] || [ "$findings" -ne 0 ]; then
        status=1
        tail -n 40 "$log"
    fi
done
printf "\n== summary\n$summary"
exit $status
