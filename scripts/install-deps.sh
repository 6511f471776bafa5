#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the benchmarks need (the keyring
# tests run gnome-keyring on a private session bus; the CardDAV tests run radicale, and SabreDAV on
# PHP's web server; the package test runs cpack, dpkg-deb and the desktop entry and AppStream
# validators).
# Idempotent and non-interactive; does nothing when everything is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-multimedia-dev qt6-svg-dev libgl-dev
    libsqlite3-dev libsqlitecpp-dev sqlite3
    libcurl4-openssl-dev
    libx11-dev libx11-xcb-dev libxtst-dev
    libbenchmark-dev
    libical-dev python3-vobject khard
    python3 python3-pyftpdlib python3-openssl openssl radicale vdirsyncer
    php-cli php-sqlite3 php-sabre-dav
    xvfb xauth clang-format
    poppler-utils
    qtkeychain-qt6-dev
    dbus-daemon gnome-keyring
    dpkg-dev desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#packages[@]} packages present"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
