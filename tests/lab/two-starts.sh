#!/usr/bin/env bash
# Two starts of the wizard by one user, on a display of their own inside a lab namespace
# (tests/support/on-display.sh MODE bash two-starts.sh MODE TARVEX): the second brings the
# first forward and ends with 0, leaving one window and, at Step 4, one listener on the reply
# port; a scan beside the open wizard is refused in one line with status 3, in both languages.
set -euo pipefail
mode=$1
program=$2
home=$(mktemp -d)
first=""
cleanup() {
    if [ -n "$first" ] && kill -0 "$first" 2>/dev/null; then
        kill "$first" 2>/dev/null || true
        wait "$first" 2>/dev/null || true
    fi
    rm -rf "$home"
}
trap cleanup EXIT
export HOME=$home LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# Polls every 0.1 s for at most 10 s.
wait_for() {
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        if "$@" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}
listeners() { ss -Huan 'sport = :12310' | grep -c . || true; }
listening() { [ "$(listeners)" -ge 1 ]; }

"$program" >"$home/first.log" 2>&1 &
first=$!
wait_for test -S "$XDG_RUNTIME_DIR/tarvex-$(id -u).socket" ||
    fail "the first wizard takes no requests: $(cat "$home/first.log")"
if [ "$mode" = x11 ]; then
    wait_for xdotool search --onlyvisible --pid "$first" || fail "the first wizard shows no window"
    window=$(xdotool search --onlyvisible --pid "$first" | head -1)
    # Something else has the focus, as the menu would when its picture is clicked.
    xdotool windowfocus "$(xwininfo -root | awk '/Window id:/ {print $4}')"
fi

status=0
said=$(timeout 10 "$program" 2>&1 >/dev/null) || status=$?
[ "$status" -eq 0 ] || fail "second start: exit $status: $said"
kill -0 "$first" 2>/dev/null || fail "the first wizard ended"
if [ "$mode" = x11 ]; then
    [ -z "$said" ] || fail "second start said: $said"
    [ "$(xdotool getwindowfocus)" = "$window" ] || fail "the first wizard was not activated"
    [ "$(xdotool search --onlyvisible --name . | wc -l)" -eq 1 ] || fail "more than one window"
else
    # Activated where the compositor offers it, otherwise told in one line.
    [ "$(printf '%s' "$said" | grep -c .)" -le 1 ] || fail "second start said: $said"
fi

for lang in C.UTF-8 zh_TW.UTF-8; do
    status=0
    said=$(LANG=$lang timeout 10 "$program" --scan 2>&1 >/dev/null) || status=$?
    if [ "$status" -ne 3 ] || [ "$(printf '%s\n' "$said" | wc -l)" -ne 1 ]; then
        fail "scan beside the wizard ($lang): exit $status: $said"
    fi
    case $lang in
    C.UTF-8) [[ $said == *"setup wizard is open"* ]] || fail "scan said: $said" ;;
    *) [[ $said == *"設定精靈已經開啟"* ]] || fail "scan said: $said" ;;
    esac
done

if [ "$mode" = x11 ]; then
    # Enter is Next: Step 4 opens the reply port, once.
    xdotool key --delay 300 Return Return Return Return
    wait_for listening || fail "Step 4 never listened"
    timeout 10 "$program" 2>/dev/null || fail "a start beside Step 4 failed"
    [ "$(listeners)" -le 1 ] || fail "two listeners: $(ss -Huanp 'sport = :12310')"
fi
echo PASS
