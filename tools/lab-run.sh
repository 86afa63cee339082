#!/usr/bin/env bash
# Runs a command inside one namespace of the lab: tools/lab-run.sh NAME ROLE COMMAND...
# The command learns where it runs from TARVEX_LAB and TARVEX_LAB_ROLE. Exits with 77
# (skipped) where the lab cannot exist: not root, or no network namespaces.
set -euo pipefail
name=$1
role=$2
shift 2
skip=77

if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null; then
    echo "lab-run: needs root and iproute2; skipped" >&2
    exit $skip
fi
if ! ip netns list | awk '{print $1}' | grep -qx "$name-$role"; then
    if ip netns add "$name-check" 2>/dev/null; then
        ip netns del "$name-check"
        echo "lab-run: the lab $name is not up (tools/lab.sh up $name)" >&2
        exit 1
    fi
    echo "lab-run: no network namespaces here; skipped" >&2
    exit $skip
fi
export TARVEX_LAB=$name TARVEX_LAB_ROLE=$role
exec ip netns exec "$name-$role" "$@"
