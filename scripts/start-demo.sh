#!/usr/bin/env bash
# Builds the program and starts it on a demo store of its own (created on the first start).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${QEL_BUILD_DIR:-build}"
scripts/build.sh
demo="${QEL_DEMO_DIR:-$PWD/$build/demo}"
export QEL_STORE_DIR="$demo/stores"
export QEL_HOME="$demo/program"
mkdir -p "$QEL_HOME"
if [ ! -d "$QEL_STORE_DIR" ]; then
    "$build/src/storetool/qel-store" demo 'Personal Folders\Contacts' 500 --seed 7
    echo "Created a demo store with 500 contacts in $QEL_STORE_DIR"
fi
if [ -x "$build/src/app/QEL" ]; then
    exec "$build/src/app/QEL" "$@"
fi
# Until the main window lands, show what the store holds.
"$build/src/storetool/qel-store" folders
"$build/src/storetool/qel-store" restrict 'Personal Folders\Contacts' \
    "[MessageClass] > 'IPM.Contacs' AND [MessageClass] < 'IPM.Contacu'" --sort LastName \
    --show Subject,MobileTelephoneNumber,Email1Address,Categories | head -n 40
