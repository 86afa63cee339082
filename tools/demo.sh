#!/usr/bin/env bash
# make demo: a whole setup against simulated appliances, on the lab network of namespaces
# (tools/lab.sh), never on this machine's own interfaces. Two appliances answer: NEAR on the
# PC's subnet and FAR on a foreign one, which needs an address. The wizard runs inside the
# lab's PC namespace.
#
# With a display the wizard opens there and you walk it. Without one a private Xvfb is started
# and the wizard walks itself by keyboard through the configuration of FAR, both editions,
# saving a screenshot of every window it reaches under <build>/demo/<edition>/. It ends by
# printing what happened. The lab, the simulators and Xvfb are removed at the end, also after
# a failure or Ctrl+C. Needs root (the lab's namespaces).
set -euo pipefail

build=${1:-build}
cd "$(dirname "$0")/.."
root=$(pwd)
program="$root/$build/wizard/Tarvex"
other="$root/$build/wizard/Tarvex-other-edition"
simulator="$root/$build/tools/appliance_sim/appliance_sim"
lab=tvxdemo
work="$root/$build/demo"

if [ "$(id -u)" -ne 0 ]; then
    echo "demo: needs root for the lab network (sudo make demo)" >&2
    exit 1
fi

xvfb_pid=""
wizard_pid=""
sim_pids=()
runtime_dir=""
cleanup() {
    local pid
    for pid in "$wizard_pid" "${sim_pids[@]}"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    [ -n "$runtime_dir" ] && rm -rf "$runtime_dir"
    bash tools/lab.sh down "$lab" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Polls a command every 0.1 s for at most $1 seconds; true as soon as it succeeds.
wait_for() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    for ((i = 0; i < tries; i++)); do
        if "$@" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# The appliances: FAR answers at once (the first row of the list), NEAR a little later.
start_appliances() {
    local log=$1
    sim_pids=()
    ip -n "$lab-ap3" addr flush dev eth0
    ip -n "$lab-ap3" addr add 10.77.2.50/24 dev eth0
    rm -f "$log" "$work/near.log"
    ip netns exec "$lab-ap3" "$simulator" --interface eth0 --lifetime 120 --log "$log" \
        --ready-file "$log.ready" --appliance \
        'id=00:50:43:00:00:02,ip=10.77.2.50,host=FAR,workgroup=HOME,full=FAR.HOME,user=qorvu,password=qorvu,move=1' &
    sim_pids+=($!)
    ip netns exec "$lab-ap1" "$simulator" --lifetime 120 --log "$work/near.log" \
        --ready-file "$work/near.ready" --appliance \
        'id=00:50:43:00:00:01,ip=10.77.1.30,host=NEAR,delay=300' &
    sim_pids+=($!)
    wait_for 10 test -e "$log.ready" && wait_for 10 test -e "$work/near.ready"
}

stop_appliances() {
    local pid
    for pid in "${sim_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    sim_pids=()
}

# Runs a program in the lab's PC namespace with a home (and desktop folder) of its own.
in_pc() {
    local home=$1
    shift
    mkdir -p "$home/Desktop"
    ip netns exec "$lab-pc" env HOME="$home" XDG_CONFIG_HOME="$home/.config" "$@"
}

in_pc_exec() {
    local home=$1
    shift
    mkdir -p "$home/Desktop"
    exec ip netns exec "$lab-pc" env HOME="$home" XDG_CONFIG_HOME="$home/.config" "$@"
}

bash tools/install-deps.sh >/dev/null
mkdir -p "$work"
bash tools/lab.sh up "$lab" >/dev/null
# The wizard's probes run as root here; a desktop user is allowed them by this setting.
ip netns exec "$lab-pc" sysctl -q -w net.ipv4.ping_group_range='0 2147483647'

if [ -n "${DISPLAY:-}" ]; then
    echo "demo: opening the wizard on $DISPLAY (lab PC 10.77.1.10; appliances NEAR and FAR)"
    start_appliances "$work/far.log"
    in_pc "$work/home" "$program" || true
    exit 0
fi

find_window() {
    local pattern=$1 id
    for id in $(xdotool search --onlyvisible --pid "$wizard_pid" 2>/dev/null); do
        if xdotool getwindowname "$id" 2>/dev/null | grep -Eq -- "$pattern"; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# Waits for the window titled $1, gives it the keyboard and saves it to $2.
capture() {
    local pattern=$1 file=$2 seconds=${3:-15} id=""
    if ! wait_for "$seconds" find_window "$pattern"; then
        echo "demo: no window matching '$pattern' appeared" >&2
        return 1
    fi
    id=$(find_window "$pattern")
    xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus "$id" 2>/dev/null || true
    sleep 0.7 # let the window paint before it is photographed
    import -window "$id" "$file"
    echo "demo:   $file"
}

key() {
    xdotool key --clearmodifiers "$1"
    sleep 0.3
}

warning='^(Warning|提示|警告)$'

# One edition: Steps 0 to 4, the device list, the credentials, the messages, the question.
walk() {
    local binary=$1 folder=$2
    mkdir -p "$folder"
    rm -f "$folder"/*.png
    rm -rf "${folder:?}/home"
    start_appliances "$folder/far.log"
    # In the background the function runs in a subshell of its own, which the exec replaces:
    # the id is the wizard's, as xdotool needs it.
    in_pc_exec "$folder/home" "$binary" &
    wizard_pid=$!

    capture "Step 0$" "$folder/01-step0.png"
    key Escape
    capture "$warning" "$folder/02-exit-confirmation.png"
    key Escape
    local step
    for step in 1 2 3; do
        key Return
        capture "Step $step$" "$folder/0$((step + 2))-step$step.png"
    done
    key Return
    capture "Step 4$" "$folder/06-step4-scanning.png"
    capture "Select Dravik to configure$" "$folder/07-device-list.png"
    key Return # FAR, the first row, stands selected
    capture "Config$" "$folder/08-credentials.png"
    key Return # the factory credentials
    capture "$warning" "$folder/09-configured.png" 40
    key Return
    capture "$warning" "$folder/10-closing-question.png"
    key Escape # the question has the keyboard: Cancel, end without opening the shortcuts
    if ! wait_for 10 bash -c "! kill -0 $wizard_pid"; then
        echo "demo: the wizard did not end after the closing question" >&2
        kill "$wizard_pid" 2>/dev/null || true
    fi
    wait "$wizard_pid" 2>/dev/null || true
    wizard_pid=""
    if [ "$folder" = "$work/en" ]; then
        report "$folder"
    fi
    stop_appliances
}

report() {
    local folder=$1 request moved file
    request=$(grep -o '|0C02S[^|]*|' "$folder/far.log" | head -1 | tr -d '|')
    echo
    echo "demo: the configuration request FAR received:"
    echo "    $request"
    moved=$(grep -o 'moved [0-9.]*' "$folder/far.log" | head -1 | cut -d' ' -f2)
    if [ -z "$moved" ]; then
        moved=$(ip -n "$lab-ap3" -4 -br addr show dev eth0 | awk '{print $3}' | cut -d/ -f1)
    fi
    echo "demo: FAR moved to $moved"
    if ip netns exec "$lab-pc" ping -c 1 -W 1 "$moved" >/dev/null 2>&1; then
        echo "demo: FAR answers at $moved"
    else
        echo "demo: FAR does not answer at $moved" >&2
    fi
    for file in "$folder"/home/Desktop/*.desktop; do
        echo
        echo "demo: $file"
        sed 's/^/    /' "$file"
    done
}

display=""
for n in $(seq 95 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=$n
        break
    fi
done
[ -n "$display" ] || {
    echo "demo: no free X display number" >&2
    exit 1
}
export DISPLAY=":$display"
unset QT_QPA_PLATFORM
runtime_dir=$(mktemp -d)
export XDG_RUNTIME_DIR="$runtime_dir"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
wait_for 10 xdpyinfo || {
    echo "demo: Xvfb did not start on $DISPLAY" >&2
    exit 1
}

cmake --build "$build" --target Tarvex-other-edition appliance_sim -j 2 >/dev/null

if grep -q '^TARVEX_CHINESE_EDITION:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    main_folder=zh other_folder=en
else
    main_folder=en other_folder=zh
fi

echo "demo: walking the wizard on $DISPLAY, in the lab's PC namespace"
walk "$program" "$work/$main_folder"
walk "$other" "$work/$other_folder"
echo
echo "demo: configured; screenshots of every window are in $work/{$main_folder,$other_folder}"
