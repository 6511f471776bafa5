#!/bin/sh
# Runs a test on a private session bus with a secret service of its own: gnome-keyring with its
# keyring in a throw-away home, unlocked with a password given on its standard input, without a
# display. The test is
# told through QEL_SECRET_SERVICE whether the service runs ("running") or could not be had ("none":
# dbus-run-session or gnome-keyring-daemon missing, or the daemon did not come up).
set -eu
if ! command -v dbus-run-session >/dev/null 2>&1 || ! command -v gnome-keyring-daemon >/dev/null 2>&1; then
    echo "with_secret_service: no dbus-run-session or gnome-keyring-daemon; running without" >&2
    QEL_SECRET_SERVICE=none exec "$@"
fi
exec dbus-run-session -- sh -c '
    home=$(mktemp -d)
    trap "rm -rf \"\$home\"" EXIT
    export HOME="$home" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # --login makes and unlocks the "login" keyring (the default one); --start adds the secret
    # service to that daemon.
    if printf "test" | gnome-keyring-daemon --daemonize --login >/dev/null &&
        gnome-keyring-daemon --start --components=secrets >/dev/null 2>&1; then
        QEL_SECRET_SERVICE=running "$@"
    else
        echo "with_secret_service: gnome-keyring-daemon did not start; running without" >&2
        QEL_SECRET_SERVICE=none "$@"
    fi' sh "$@"
