#!/usr/bin/env bash
# Runs the benchmarks on a release build and prints the figures for docs/benchmarks.md.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${QEL_BENCH_BUILD_DIR:-build-bench}"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQEL_BUILD_TESTS=OFF
fi
cmake --build "$build" -j2 --target bench_store bench_startup bench_browser bench_exchange bench_vcard bench_sync bench_dav qel-store
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/src/storetool/qel-store" --dir "$tmp/50k" demo 'Personal Folders\Contacts' 50000 --seed 42
echo "== memory"
"$build/bench/bench_store" --memory "$tmp/50k"
echo "== speed"
"$build/bench/bench_store" --benchmark_repetitions="${QEL_BENCH_REPS:-3}" --benchmark_report_aggregates_only=true
echo "== start-up"
"$build/bench/bench_startup"
echo "== browser"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_browser" --benchmark_repetitions="${QEL_BENCH_REPS:-3}" --benchmark_report_aggregates_only=true
echo "== exchange file"
"$build/bench/bench_exchange"
echo "== vCards"
"$build/bench/bench_vcard"
echo "== sync"
"$build/bench/bench_sync"
echo "== CardDAV"
"$build/bench/bench_dav"
