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
#   NAME-pc2    a PC with two adapters and no gateway: eth0 10.77.1.12/24 on br0, eth1
#               10.77.4.12/24 on a second LAN (br1)
#   NAME-ap4    an appliance on the second LAN (br1): 10.77.4.40/24
#   NAME-far    a second router on the PC's subnet: 10.77.1.70/24, holding 10.77.6.1 and
#               10.77.6.2; the gateway routes 10.77.6.0/24 to it by the port it came in on, so
#               it sends the PC an ICMP redirect for each new destination there
#   NAME-slow   hosts that answer echoes late, from tools/echo_responder (the kernel's own
#               echo reply is off): 10.77.1.23/24 and 10.77.1.24/24
#   NAME-adp1   adapter choice: lan0 10.77.7.2/24 down, lan1 10.77.8.2/24 up, no route
#   NAME-adp2   adapter choice: tun0 point-to-point 10.88.0.6 with the default route of metric 0,
#               lan0 10.77.7.2/24 with a default route via 10.77.7.1, metric 100
#   NAME-adp3   adapter choice: default routes via lan0 10.77.7.1 (metric 200) and lan1 10.77.8.1
#               (metric 50); lan0 10.77.7.2/24, lan1 10.77.8.2/24
#   NAME-adp4   an adapter without carrier: lan0 10.77.7.2/24 up, its veth peer down
#   NAME-pcs    a PC on a small subnet: eth0 10.77.5.1/29, default route via 10.77.5.2; every
#               other address of it is taken: 10.77.5.2, .3 and .6 by hosts (answering echoes),
#               .4 and .5 by slow (dropping them)
#   NAME-late   hosts that drop echoes and answer the address resolution late, from
#               tools/arp_responder (eth0 holds no IPv4 address, so its kernel answers neither):
#               10.77.1.120 after 0.7 s and 10.77.1.121 after 2 s, as the tests start it
#   10.77.1.101 to .110 answer echoes (hosts), .111 to .119 drop them (slow)
#   10.77.1.200 to 10.77.1.254 are silent: nobody holds them; the gateway drops 10.78.0.0/16.
#
# The PC namespaces (pc, pcng, bare, pc2, pcs, adp*) filter by reverse path in loose mode
# (rp_filter=2), as a Debian desktop does; the others do not filter.
set -eEuo pipefail

action=${1:-}
name=${2:-${TARVEX_LAB:-tvxlab}}
skip=77

if [[ ! $name =~ ^[A-Za-z0-9_]{1,20}$ ]]; then
    echo "lab: bad lab name '$name'" >&2
    exit 2
fi

members=(sw pc pcng bare hosts ap1 ap2 ap3 ap4 pc2 far slow adp1 adp2 adp3 adp4 pcs late)

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

is_pc() {
    case $1 in
    pc | pcng | bare | pc2 | pcs | adp*) return 0 ;;
    *) return 1 ;;
    esac
}

make_ns() {
    local ns=$1 rp=0
    # A PC filters loosely by reverse path, as a Debian desktop does (systemd's default): a
    # reply from a subnet it has no route to is dropped. Appliances and routers take anything.
    if is_pc "$ns"; then
        rp=2
    fi
    ip netns add "$name-$ns"
    # Before any interface exists, so that every interface inherits these defaults; no IPv6.
    in_ns "$ns" sysctl -q -w net.ipv4.conf.all.rp_filter=$rp net.ipv4.conf.default.rp_filter=$rp \
        net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1 >/dev/null
    ip -n "$name-$ns" link set lo up
}

# A pair of links inside one namespace: LINK with the address, its peer LINKp up without one.
local_link() {
    local ns=$1 link=$2 address=$3
    ip -n "$name-$ns" link add "$link" type veth peer name "${link}p"
    ip -n "$name-$ns" addr add "$address" dev "$link"
    ip -n "$name-$ns" link set "${link}p" up
    ip -n "$name-$ns" link set "$link" up
}

# A member namespace with one port on the switch: its eth0 and the given addresses.
attach() {
    local ns=$1
    shift
    make_ns "$ns"
    port "$ns" "$ns" eth0 br0 "$@"
}

# A port of the switch's bridge to an interface of a member namespace, with its addresses.
port() {
    local ns=$1 switch_port=$2 interface=$3 bridge=$4
    shift 4
    ip -n "$name-sw" link add "$switch_port" type veth peer name "$interface" netns "$name-$ns"
    ip -n "$name-sw" link set "$switch_port" master "$bridge" up
    local address
    for address in "$@"; do
        ip -n "$name-$ns" addr add "$address" dev "$interface"
    done
    ip -n "$name-$ns" link set "$interface" up
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

    ip -n "$name-sw" link add br1 type bridge stp_state 0 forward_delay 0
    ip -n "$name-sw" link set br1 up
    attach pc2 10.77.1.12/24
    port pc2 pc2b eth1 br1 10.77.4.12/24
    make_ns ap4
    port ap4 ap4 eth0 br1 10.77.4.40/24

    attach far 10.77.1.70/24
    ip -n "$name-far" addr add 10.77.6.1/32 dev lo
    ip -n "$name-far" addr add 10.77.6.2/32 dev lo
    ip -n "$name-hosts" route add 10.77.6.0/24 via 10.77.1.70
    ip -n "$name-hosts" route add blackhole 10.78.0.0/16

    make_ns slow
    in_ns slow sysctl -q -w net.ipv4.icmp_echo_ignore_all=1 >/dev/null
    port slow slow eth0 br0 10.77.1.23/24 10.77.1.24/24

    attach pcs 10.77.5.1/29
    ip -n "$name-pcs" route add default via 10.77.5.2
    local taken
    for taken in 2 3 6; do
        ip -n "$name-hosts" addr add "10.77.5.$taken/29" dev eth0
    done
    for taken in 4 5; do
        ip -n "$name-slow" addr add "10.77.5.$taken/29" dev eth0
    done
    # A crowded stretch of the PC's subnet for the address search: .101 to .110 answer
    # echoes, .111 to .119 drop them.
    for taken in $(seq 101 110); do
        ip -n "$name-hosts" addr add "10.77.1.$taken/24" dev eth0
    done
    for taken in $(seq 111 119); do
        ip -n "$name-slow" addr add "10.77.1.$taken/24" dev eth0
    done

    make_ns adp1
    local_link adp1 lan0 10.77.7.2/24
    local_link adp1 lan1 10.77.8.2/24
    ip -n "$name-adp1" link set lan0 down
    make_ns adp2
    ip -n "$name-adp2" tuntap add tun0 mode tun
    ip -n "$name-adp2" addr add 10.88.0.6 peer 10.88.0.5 dev tun0
    ip -n "$name-adp2" link set tun0 up
    ip -n "$name-adp2" route add default dev tun0 metric 0
    local_link adp2 lan0 10.77.7.2/24
    ip -n "$name-adp2" route add default via 10.77.7.1 metric 100
    make_ns adp3
    local_link adp3 lan0 10.77.7.2/24
    local_link adp3 lan1 10.77.8.2/24
    ip -n "$name-adp3" route add default via 10.77.7.1 metric 200
    ip -n "$name-adp3" route add default via 10.77.8.1 metric 50
    make_ns adp4
    local_link adp4 lan0 10.77.7.2/24
    ip -n "$name-adp4" link set lan0p down

    # Hosts that answer the address resolution late: a port without an address of its own, for
    # tools/arp_responder.
    make_ns late
    port late late eth0 br0

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
    sed -n '2,47p' "$0" | sed 's/^# \{0,1\}//'
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

# The ERR trap of `up`: names the step that failed, removes what was built, and fails.
failed_step() {
    trap - ERR
    echo "lab: could not build the lab: line $2: \"$3\" failed ($1); removing it" >&2
    down || true
    exit 1
}

case $action in
up)
    if ! ip netns add "$name-check" 2>/dev/null; then
        echo "lab: cannot create network namespaces here; skipped" >&2
        exit $skip
    fi
    ip netns del "$name-check"
    # Called plainly, not as a condition: a condition would switch set -e off inside `up`, and a
    # failed step would go unnoticed. The trap names the command that failed.
    trap 'failed_step $? "$LINENO" "$BASH_COMMAND"' ERR
    up
    trap - ERR
    ;;
down) down ;;
status) status ;;
esac
