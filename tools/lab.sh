#!/usr/bin/env bash
# The lab network for the network tests: namespaces on one bridge, all of them inside network
# namespaces of their own. Nothing is created in, attached to or sent from this machine's own
# namespace, so no packet of the tests ever reaches a real interface.
#
#   tools/lab.sh up [NAME]      build the lab (removes a lab of the same name first)
#   tools/lab.sh down [NAME]    remove it: its processes, namespaces, links and the bridge
#   tools/lab.sh status [NAME]  list its namespaces and addresses
#
# NAME (default: $TARVEX_LAB, else "tvxlab") prefixes every namespace, so that several labs
# can exist side by side. Needs root and `ip netns`; without them it exits with 77 (skipped).
#
# The lab (all addresses exist only inside the namespaces):
#   NAME-sw     the switch: bridge br0, one port per namespace below
#   NAME-pc     the PC: eth0 10.77.1.10/24, default route via 10.77.1.1
#   NAME-pcng   a PC without gateway: eth0 10.77.1.11/24, no default route
#   NAME-bare   a PC without any adapter: loopback only
#   NAME-hosts  hosts that answer echoes: 10.77.1.1 (the gateway), 10.77.1.21, 10.77.1.22;
#               routes 10.77.9.0/24 to "unreachable", so probes there get an ICMP error
#   NAME-ap1    an appliance on the PC's subnet: 10.77.1.30/24
#   NAME-ap2    an appliance on a foreign subnet: 10.77.2.40/24, no route
#   NAME-ap3    an appliance on a foreign subnet for the configuration test: 10.77.2.50/24
#   10.77.1.200 to 10.77.1.254 are silent: nobody holds them.
set -euo pipefail

action=${1:-}
name=${2:-${TARVEX_LAB:-tvxlab}}
skip=77

if [[ ! $name =~ ^[A-Za-z0-9_]{1,20}$ ]]; then
    echo "lab: bad lab name '$name'" >&2
    exit 2
fi

members=(sw pc pcng bare hosts ap1 ap2 ap3)

lab_namespaces() {
    ip netns list 2>/dev/null | awk '{print $1}' | grep -E "^${name}-($(IFS='|'; echo "${members[*]}"))\$" || true
}

down() {
    local ns pid
    for ns in $(lab_namespaces); do
        # Processes left in the lab (a simulator of a failed test) keep nothing alive once gone.
        for pid in $(ip netns pids "$ns" 2>/dev/null); do
            kill "$pid" 2>/dev/null || true
        done
    done
    for ns in $(lab_namespaces); do
        ip netns del "$ns" 2>/dev/null || true
    done
    if [ -n "$(lab_namespaces)" ]; then
        echo "lab: could not remove $(lab_namespaces | tr '\n' ' ')" >&2
        return 1
    fi
}

in_ns() {
    local ns=$1
    shift
    ip netns exec "$name-$ns" "$@"
}

make_ns() {
    local ns=$1
    ip netns add "$name-$ns"
    # Before any interface exists, so that every interface inherits these defaults: answers
    # from another subnet must not be dropped by the reverse-path filter, and no IPv6 chatter.
    in_ns "$ns" sysctl -q -w net.ipv4.conf.all.rp_filter=0 net.ipv4.conf.default.rp_filter=0 \
        net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1 >/dev/null
    ip -n "$name-$ns" link set lo up
}

# A member namespace with one port on the switch: its eth0 and the given addresses.
attach() {
    local ns=$1
    shift
    make_ns "$ns"
    ip -n "$name-sw" link add "$ns" type veth peer name eth0 netns "$name-$ns"
    ip -n "$name-sw" link set "$ns" master br0 up
    local address
    for address in "$@"; do
        ip -n "$name-$ns" addr add "$address" dev eth0
    done
    ip -n "$name-$ns" link set eth0 up
}

up() {
    down
    make_ns sw
    ip -n "$name-sw" link add br0 type bridge stp_state 0 forward_delay 0
    ip -n "$name-sw" link set br0 up

    attach pc 10.77.1.10/24
    ip -n "$name-pc" route add default via 10.77.1.1
    attach pcng 10.77.1.11/24
    make_ns bare
    attach hosts 10.77.1.1/24 10.77.1.21/24 10.77.1.22/24
    in_ns hosts sysctl -q -w net.ipv4.ip_forward=1 >/dev/null
    ip -n "$name-hosts" route add unreachable 10.77.9.0/24
    attach ap1 10.77.1.30/24
    attach ap2 10.77.2.40/24
    attach ap3 10.77.2.50/24

    echo "lab: $name is up ($(lab_namespaces | wc -l) namespaces)"
}

status() {
    local ns
    for ns in $(lab_namespaces); do
        echo "== $ns"
        ip -n "$ns" -br addr show
    done
}

case $action in
up | down | status) ;;
*)
    sed -n '2,25p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac

if [ "$(id -u)" -ne 0 ]; then
    echo "lab: needs root; skipped" >&2
    exit $skip
fi
if ! command -v ip >/dev/null; then
    echo "lab: no ip command (iproute2); skipped" >&2
    exit $skip
fi

case $action in
up)
    if ! ip netns add "$name-check" 2>/dev/null; then
        echo "lab: cannot create network namespaces here; skipped" >&2
        exit $skip
    fi
    ip netns del "$name-check"
    if ! up; then
        echo "lab: could not build the lab; removing it" >&2
        down || true
        exit 1
    fi
    ;;
down) down ;;
status) status ;;
esac
