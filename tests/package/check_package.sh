#!/bin/sh
# Makes the Debian package of a build tree, unpacks it into a fresh root (dpkg-deb -x: no root
# rights, no container), checks its layout, validates its desktop entry and AppStream metadata, and
# runs the programs installed there on a store and a home of their own.
#   check_package.sh BUILD_DIR [QELUpdater]
# Exit status 77 (skipped) when a tool it needs is missing.
set -eu
build=$1
updater=${2:-}

for tool in cpack dpkg-deb desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "check_package: $tool is missing (scripts/install-deps.sh installs it); skipped"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "check_package: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
set -- "$work"/out/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "no single .deb made: $*"
deb=$1
dpkg-deb --info "$deb" >"$work/info"
grep -q '^ Package: vantrel$' "$work/info" || fail "the package is not named vantrel"
# The libraries the programs link come in as dependencies.
grep -q '^ Depends:.*libqt6widgets6' "$work/info" || fail "no dependency on Qt Widgets: $(cat "$work/info")"

dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr
for file in bin/QEL bin/qel-store ${updater:+bin/$updater} \
    share/applications/Vantrel.desktop share/metainfo/invalid.vantrel.Vantrel.metainfo.xml \
    share/icons/hicolor/16x16/apps/vantrel.png share/icons/hicolor/48x48/apps/vantrel.png \
    share/icons/hicolor/256x256/apps/vantrel.png \
    share/vantrel/carriers.txt share/vantrel/templates/EmptyContacts.mdb \
    share/vantrel/sounds/chimes.wav share/vantrel/sounds/ding.wav share/vantrel/sounds/Tada.wav; do
    [ -f "$usr/$file" ] || fail "the package has no usr/$file"
done
[ -x "$usr/bin/QEL" ] || fail "usr/bin/QEL is not executable"
# Every file the program reads from the source's resources (the manual, when there is one, too).
resources=$(cd "$(dirname "$0")/../../resources" && pwd)
(cd "$resources" && find . -type f ! -name '*.cpp' ! -name CMakeLists.txt ! -name README.md \
    ! -path './desktop/*' ! -path './icons/*') | while read -r file; do
    [ -f "$usr/share/vantrel/$file" ] || fail "the package has no usr/share/vantrel/$file"
done
# Nothing of the build's own: no sources, no build helpers.
if find "$work/root" -name '*.cpp' -o -name 'CMakeLists.txt' -o -name 'SoundMaker' -o -name 'IconMaker' | grep -q .; then
    fail "build files in the package"
fi

desktop-file-validate "$usr/share/applications/Vantrel.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$usr/share/metainfo/invalid.vantrel.Vantrel.metainfo.xml" ||
    fail "appstreamcli validate"

# The installed program, started as a user starts it: no QEL_HOME, a home of its own.
home=$work/home
mkdir -p "$home/config/QEL" "$home/data" "$home/run" "$work/store"
chmod 700 "$home/run"
printf '[DebugMode]\nDebugMode=Yes\n' >"$home/config/QEL/QEL.ini"
before=$(ls -la "$usr/bin")
run() {
    env -u QEL_HOME -u QEL_STORE_DIR -u DBUS_SESSION_BUS_ADDRESS HOME="$home" \
        XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run" \
        QT_QPA_PLATFORM=offscreen timeout 120 "$@"
}
run "$usr/bin/QEL" --dir "$work/store" --quit-when-shown >"$work/qel.out" 2>"$work/qel.err" ||
    { cat "$work/qel.err" >&2; fail "the installed QEL did not start"; }
grep -qx shown "$work/qel.out" || fail "the installed QEL did not show its window"
# Its writable files go to the per-user data folder, never beside the installed program.
[ -f "$home/data/QEL/Debug.txt" ] || fail "no Debug.txt in the per-user data folder"
[ "$(ls -la "$usr/bin")" = "$before" ] || fail "the program wrote beside itself: $(ls "$usr/bin")"

# The store tool works on the store the program made, and finds the exchange template installed.
run "$usr/bin/qel-store" --dir "$work/store" folders >"$work/folders" || fail "qel-store folders"
grep -q 'Personal Folders\\Contacts' "$work/folders" || fail "qel-store lists no contact folder"
run "$usr/bin/qel-store" --dir "$work/store" export "$work/out.mdb" >"$work/export" 2>&1 ||
    { cat "$work/export" >&2; fail "qel-store export (template from share/vantrel)"; }
[ -s "$work/out.mdb" ] || fail "qel-store export wrote no file"
echo "check_package: $(basename "$deb") checked"
