#!/usr/bin/env bash
# Runs a program on a display server of its own, never the desktop's:
#   on-display.sh wayland <program> [arguments...]   a headless Weston, QT_QPA_PLATFORM=wayland
#   on-display.sh x11 <program> [arguments...]       an Xvfb, QT_QPA_PLATFORM=xcb
#   on-display.sh x11-wm <program> [arguments...]    the same with openbox managing the windows
#                                                    (TARVEX_WALK_WINDOW_MANAGER=openbox)
#   on-display.sh none <program>                     no display at all: the program must say so
#                                                    in one line and exit with 2, on both, with
#                                                    and without XDG_RUNTIME_DIR; and name the
#                                                    plugin when it does not exist
# Each server gets a private runtime folder (XDG_RUNTIME_DIR may be unset, as under CI) and is
# stopped by its id at the end. Skipped (77) only when the server is not installed.
set -euo pipefail
mode=$1
shift
runtime=$(mktemp -d)
chmod 700 "$runtime"
server_pid=""
wm_pid=""
cleanup() {
    if [ -n "$wm_pid" ] && kill -0 "$wm_pid" 2>/dev/null; then
        kill "$wm_pid" 2>/dev/null || true
        wait "$wm_pid" 2>/dev/null || true
    fi
    if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    rm -rf "$runtime"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$runtime"
unset DISPLAY WAYLAND_DISPLAY

# Polls every 0.1 s for at most 10 s; true as soon as the command succeeds.
wait_for() {
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        if "$@"; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

case $mode in
wayland)
    command -v weston >/dev/null || {
        echo "on-display: weston is not installed (tools/install-deps.sh)"
        exit 77
    }
    weston --backend=headless-backend.so --socket=wayland-test --use-pixman --width=1024 \
        --height=768 --idle-time=0 >"$runtime/weston.log" 2>&1 &
    server_pid=$!
    wait_for test -S "$runtime/wayland-test" || {
        cat "$runtime/weston.log" >&2
        exit 1
    }
    export WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland
    ;;
x11 | x11-wm)
    command -v Xvfb >/dev/null || {
        echo "on-display: Xvfb is not installed (tools/install-deps.sh)"
        exit 77
    }
    # Xvfb takes a free display number itself and writes it to descriptor 3.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$runtime/display" >/dev/null 2>&1 &
    server_pid=$!
    wait_for test -s "$runtime/display" || exit 1
    DISPLAY=":$(head -1 "$runtime/display")"
    export DISPLAY QT_QPA_PLATFORM=xcb
    if [ "$mode" = x11-wm ]; then
        command -v openbox >/dev/null || {
            echo "on-display: openbox is not installed (tools/install-deps.sh)"
            exit 77
        }
        openbox --sm-disable >"$runtime/openbox.log" 2>&1 &
        wm_pid=$!
        # Managing once it has announced itself on the root window.
        wait_for sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || {
            cat "$runtime/openbox.log" >&2
            exit 1
        }
        export TARVEX_WALK_WINDOW_MANAGER=openbox
    fi
    ;;
none)
    # Also without XDG_RUNTIME_DIR, of which libwayland complains itself: still the one line.
    for platform in xcb wayland; do
        for unset in "" XDG_RUNTIME_DIR; do
            status=0
            said=$(env ${unset:+-u "$unset"} QT_QPA_PLATFORM=$platform "$@" 2>&1 >/dev/null) ||
                status=$?
            if [ "$status" -ne 2 ] || [ "$(printf '%s\n' "$said" | wc -l)" -ne 1 ]; then
                echo "on-display: $platform without a display${unset:+ and $unset}: exit $status," \
                    "said:" >&2
                printf '%s\n' "$said" >&2
                exit 1
            fi
        done
        echo "$platform: $said"
    done
    # A platform plugin that does not exist is no want of a display: Qt's reason, named.
    status=0
    said=$(QT_QPA_PLATFORM=nonexistent "$@" 2>&1 >/dev/null) || status=$?
    if [ "$status" -ne 2 ] || [ "$(printf '%s\n' "$said" | wc -l)" -ne 1 ] ||
        [[ $said != *'"nonexistent"'* ]]; then
        echo "on-display: a platform plugin that does not exist: exit $status, said:" >&2
        printf '%s\n' "$said" >&2
        exit 1
    fi
    echo "nonexistent: $said"
    exit 0
    ;;
*)
    echo "on-display: wayland, x11, x11-wm or none, not '$mode'" >&2
    exit 2
    ;;
esac

status=0
"$@" || status=$?
cleanup
trap - EXIT
exit "$status"
