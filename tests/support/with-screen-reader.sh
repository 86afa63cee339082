#!/usr/bin/env bash
# Runs a program as a screen reader's user would: on a private session bus of its own, with the
# accessibility bus started and its screen-reader switch on, so that Qt sends what happens to
# the accessibility tree. Skipped (77) when the session bus or the accessibility bus is missing.
#   with-screen-reader.sh <program> [arguments...]
set -euo pipefail
if [ -z "${TARVEX_PRIVATE_SESSION_BUS:-}" ]; then
    if ! command -v dbus-run-session >/dev/null || [ ! -x /usr/libexec/at-spi-bus-launcher ]; then
        echo "with-screen-reader: dbus-run-session or at-spi2-core is missing" \
            "(tools/install-deps.sh)"
        exit 77
    fi
    # The session bus and every service it started end with dbus-run-session.
    TARVEX_PRIVATE_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:ScreenReaderEnabled \
    variant:boolean:true >/dev/null
exec "$@"
