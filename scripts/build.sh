#!/usr/bin/env bash
# Configures (once) and builds the program, the tests and the benchmarks in build/ (or $QEL_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${QEL_BUILD_DIR:-build}"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build" -j"${QEL_JOBS:-2}"
