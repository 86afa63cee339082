#!/usr/bin/env bash
# Two starts of the wizard by one user, on a display of their own inside a lab namespace
# (tests/support/on-display.sh MODE bash two-starts.sh MODE TARVEX): the second brings the
# first forward and ends with 0, leaving one window and, at Step 4, one listener on the reply
# port; a scan beside the open wizard is refused in one line with status 3, in both languages.
# Run as root, it also plays another user (nobody) who lays a trap in a shared runtime folder:
# a held lock and a listening socket, or a link in place of the lock.
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
    for pid in "${others[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$home"
}
others=()
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
    # At Step 0 the wizard holds no port yet: it is open, that is all.
    C.UTF-8) [[ $said == *"setup wizard is open"* && $said != *holds* ]] || fail "scan said: $said" ;;
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
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null && [ -x /usr/bin/python3 ]; then
    kill "$first"
    wait "$first" 2>/dev/null || true
    first=""
    # Wayland's socket stays where the display server made it.
    [ -z "${WAYLAND_DISPLAY:-}" ] || export WAYLAND_DISPLAY="$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"
    victim=$(id -u)

    # A shared sticky folder where nobody holds the victim's lock and listens on its socket,
    # writing down whatever a caller sends.
    shared=$home/shared
    mkdir -m 1777 "$shared"
    chmod 755 "$home"
    # The system's own Python: one installed for root alone may be out of nobody's reach.
    setpriv --reuid=nobody --regid=nogroup --clear-groups /usr/bin/python3 -c '
import fcntl, socket, sys
folder, victim = sys.argv[1], sys.argv[2]
lock = open(f"{folder}/tarvex-{victim}.lock", "w")
fcntl.lockf(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
listener.bind(f"{folder}/tarvex-{victim}.socket")
listener.listen(4)
for _ in range(4):
    caller, _ = listener.accept()
    with open(f"{folder}/heard", "ab") as heard:
        heard.write(caller.recv(4096))
    caller.sendall(b"front\n")
    caller.close()
' "$shared" "$victim" &
    others+=($!)
    wait_for test -S "$shared/tarvex-$victim.socket" || fail "the other user never listened"
    XDG_RUNTIME_DIR=$shared XDG_ACTIVATION_TOKEN=secret-token "$program" >"$home/trap.log" 2>&1 &
    first=$!
    sleep 3
    kill -0 "$first" 2>/dev/null || fail "the wizard ended in the shared folder: $(cat "$home/trap.log")"
    [ ! -s "$shared/heard" ] || fail "the other user heard: $(cat "$shared/heard")"
    grep -q "without the one-wizard guard" "$home/trap.log" || fail "no word in the log"
    kill "$first"
    wait "$first" 2>/dev/null || true
    first=""

    # Another user's runtime folder (sudo -E) with links in place of the lock: one to a file
    # that does not exist, one to a file of root's.
    theirs=$home/theirs
    mkdir -m 700 "$theirs"
    kept=$home/kept
    echo kept >"$kept"
    chown nobody "$theirs"
    for target in "$home/made" "$kept"; do
        ln -sfn "$target" "$theirs/tarvex-$victim.lock"
        chown -h nobody "$theirs/tarvex-$victim.lock"
        XDG_RUNTIME_DIR=$theirs "$program" >"$home/link.log" 2>&1 &
        first=$!
        sleep 3
        kill -0 "$first" 2>/dev/null || fail "the wizard ended beside the link: $(cat "$home/link.log")"
        [ ! -e "$home/made" ] || fail "the link was followed: $(ls -l "$home/made")"
        inode=$(stat -c %i "$kept")
        ! grep -q ":$inode " /proc/locks || fail "a lock on root's file: $(cat /proc/locks)"
        kill "$first"
        wait "$first" 2>/dev/null || true
        first=""
    done
fi
echo PASS
