#!/usr/bin/env bash
# lab.sh up must fail, naming the command, when one `ip` call fails, and leave nothing behind.
# The failure comes from an `ip` in front of the real one on PATH that refuses one address.
set -uo pipefail
lab_script=$1
name=tvxfail$$
if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null; then
    echo "needs root and iproute2; skipped"
    exit 77
fi
real_ip=$(command -v ip)
fake=$(mktemp -d)
trap 'rm -rf "$fake"; bash "$lab_script" down "$name" >/dev/null 2>&1' EXIT
cat >"$fake/ip" <<FAKE
#!/usr/bin/env bash
case "\$*" in
*10.77.2.40/24*) echo "ip: refused for the test" >&2; exit 2 ;;
esac
exec "$real_ip" "\$@"
FAKE
chmod +x "$fake/ip"

PATH="$fake:$PATH" bash "$lab_script" up "$name" 2>"$fake/stderr"
status=$?
cat "$fake/stderr"
if [ "$status" -ne 1 ]; then
    echo "FAIL: lab.sh up exited with $status after a failed step"
    exit 1
fi
if ! grep -q 'line [0-9]*: "ip -n .* addr add .*" failed (2)' "$fake/stderr"; then
    echo "FAIL: the failed command is not named"
    exit 1
fi
if ip netns list | grep -q "^$name-"; then
    echo "FAIL: namespaces left behind"
    exit 1
fi
echo "PASS"
