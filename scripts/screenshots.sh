#!/usr/bin/env bash
# Renders every window of the program offscreen into OUTDIR as PNG files (one per tab of the
# preferences), on a demo store in a temporary folder.
#   scripts/screenshots.sh OUTDIR [BUILDDIR]      (BUILDDIR defaults to build/ in the source tree)
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 OUTDIR [BUILDDIR]" >&2
    exit 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$1"
build="${2:-$root/build}"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DQEL_BUILD_BENCH=OFF -DQEL_BUILD_TESTS=OFF
fi
cmake --build "$build" --target qel-screens -j 2

mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$build/src/screens/qel-screens" "$out"
