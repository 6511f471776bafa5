#!/usr/bin/env bash
# Builds everything and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${QEL_BUILD_DIR:-build}"
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j"${QEL_JOBS:-2}" "$@"
