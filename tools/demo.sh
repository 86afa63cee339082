#!/usr/bin/env bash
# make demo: a whole setup against simulated appliances, on the lab network of namespaces
# (tools/lab.sh), never on this machine's own interfaces. Two appliances answer: NEAR on the
# PC's subnet and FAR on a foreign one, which needs an address. The wizard runs inside the
# lab's PC namespace.
#
# The wizard is the installed one: the Debian package is built and unpacked into a scratch root
# (<build>/demo/installed), and the program from there runs in the user's language as a desktop
# session sets it (LANG=en_US.UTF-8, LANG=zh_TW.UTF-8).
#
# With a display the wizard opens there and you walk it. Without one a private Xvfb is started
# and the wizard walks itself by keyboard through the configuration of FAR, in both languages,
# saving a screenshot of every window it reaches under <build>/demo/<en|zh>/. Then, in English
# only, fresh runs to the other ends of Step 4: NEAR chosen (reachable), no appliance at all,
# FAR refusing the configuration, and FAR not answering it (the real 30 s time-out). It ends by
# printing what happened. The lab, the simulators and Xvfb are removed at the end, also after
# a failure or Ctrl+C. Needs root (the lab's namespaces).
set -euo pipefail

build=${1:-build}
cd "$(dirname "$0")/.."
root=$(pwd)
installed="$root/$build/demo/installed"
program="$installed/usr/bin/Tarvex"
simulator="$root/$build/tools/appliance_sim/appliance_sim"
# Another lab name or X display when two demos share a machine: DEMO_LAB=..., DEMO_DISPLAY=:N.
lab=${DEMO_LAB:-tvxdemo}
work="$root/$build/demo"

if [ "$(id -u)" -ne 0 ]; then
    echo "demo: needs root for the lab network (sudo make demo)" >&2
    exit 1
fi

xvfb_pid=""
weston_pid=""
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
    for pid in "$xvfb_pid" "$weston_pid"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
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

# The appliances: FAR answers at once (the first row of the list), NEAR a little later. $2 is
# added to FAR's profile (how it answers the configuration); $3 "no" leaves NEAR out.
start_appliances() {
    local log=$1 far_extra=${2:-} near=${3:-yes}
    sim_pids=()
    ip -n "$lab-ap3" addr flush dev eth0
    ip -n "$lab-ap3" addr add 10.77.2.50/24 dev eth0
    rm -f "$log" "$work/near.log"
    ip netns exec "$lab-ap3" "$simulator" --interface eth0 --lifetime 120 --log "$log" \
        --ready-file "$log.ready" --appliance \
        "id=00:50:43:00:00:02,ip=10.77.2.50,host=FAR,workgroup=HOME,full=FAR.HOME,user=qorvu,password=qorvu,move=1$far_extra" &
    sim_pids+=($!)
    if [ "$near" = no ]; then
        wait_for 10 test -e "$log.ready"
        return
    fi
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

# The PC the wizard runs on: the lab's PC, or (for one run) its PC with two adapters.
pc_role=pc

# Runs a program in the lab's PC namespace with a home (desktop folder and file manager places)
# of its own.
in_pc() {
    local home=$1
    shift
    mkdir -p "$home/Desktop"
    ip netns exec "$lab-pc" env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" "$@"
}

in_pc_exec() {
    local home=$1
    shift
    mkdir -p "$home/Desktop"
    exec ip netns exec "$lab-$pc_role" env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" "$@"
}

# The wizard as the package installs it, in a scratch root of its own.
install_package() {
    local deb
    rm -rf "$work/package" "$installed"
    (cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
    deb=$(ls "$work"/package/dravik-setup_*.deb)
    dpkg-deb -x "$deb" "$installed"
    echo "demo: the wizard installed from $(basename "$deb") into $installed"
}

# The start of a command that runs a program in the language of a desktop session: LANG=...
# follows, and nothing else of the caller's language settings is kept.
speaking=(env -u LANGUAGE -u LC_ALL -u LC_MESSAGES)

[ -n "${DEPS_DONE:-}" ] || bash tools/install-deps.sh >/dev/null
mkdir -p "$work"
cmake --build "$build" --target appliance_sim tarvex_window_walk -j 2 >/dev/null
install_package
bash tools/lab.sh up "$lab" >/dev/null
# The wizard's probes run as root here; a desktop user is allowed them by this setting.
ip netns exec "$lab-pc" sysctl -q -w net.ipv4.ping_group_range='0 2147483647'

if [ -n "${DISPLAY:-}" ]; then
    echo "demo: opening the wizard on $DISPLAY (lab PC 10.77.1.10; appliances NEAR and FAR)"
    start_appliances "$work/far.log"
    in_pc "$work/home" "$program" || true # in the language of this session
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

# Waits for the window titled $1 and gives it the keyboard; prints its id.
focus() {
    local pattern=$1 seconds=${2:-15} id=""
    if ! wait_for "$seconds" find_window "$pattern"; then
        echo "demo: no window matching '$pattern' appeared" >&2
        return 1
    fi
    id=$(find_window "$pattern")
    xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus "$id" 2>/dev/null || true
    echo "$id"
}

# Waits for the window titled $1, gives it the keyboard and saves it to $2.
capture() {
    local pattern=$1 file=$2 seconds=${3:-15} id=""
    id=$(focus "$pattern" "$seconds") || return 1
    sleep 0.7 # let the window paint before it is photographed
    import -window "$id" "$file"
    echo "demo:   $file"
}

# Saves the page titled $1 to $2 while a message box stands over it: the wizard's other windows
# step off the screen for the picture and come back, the keyboard stays where it was.
capture_behind() {
    local pattern=$1 file=$2 page="" id x y
    local -a moved=()
    page=$(find_window "$pattern") || {
        echo "demo: no window matching '$pattern'" >&2
        return 1
    }
    for id in $(xdotool search --onlyvisible --pid "$wizard_pid" 2>/dev/null); do
        [ "$id" = "$page" ] && continue
        x=$(xdotool getwindowgeometry --shell "$id" | sed -n 's/^X=//p')
        y=$(xdotool getwindowgeometry --shell "$id" | sed -n 's/^Y=//p')
        moved+=("$id $x $y")
        xdotool windowmove --sync "$id" 2000 0 2>/dev/null || xdotool windowmove "$id" 2000 0
    done
    sleep 0.7 # the page repaints what the box covered
    import -window "$page" "$file"
    for id in "${moved[@]}"; do
        read -r id x y <<<"$id"
        xdotool windowmove "$id" "$x" "$y"
    done
    sleep 0.3
    echo "demo:   $file"
}

key() {
    xdotool key --clearmodifiers "$1"
    sleep 0.3
}

warning='^(Warning|提示|警告)$'

# One language (a LANG value): Steps 0 to 4, the device list, the credentials, the messages,
# the question.
walk() {
    local language=$1 folder=$2
    mkdir -p "$folder"
    rm -f "$folder"/*.png
    rm -rf "${folder:?}/home"
    start_appliances "$folder/far.log"
    # In the background the function runs in a subshell of its own, which the exec replaces:
    # the id is the wizard's, as xdotool needs it.
    in_pc_exec "$folder/home" "${speaking[@]}" LANG="$language" "$program" &
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
    if [ "$folder" = "$work/en" ]; then
        capture_behind "Step 4$" "$folder/11-far-step4-done.png"
    fi
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

# A fresh run of the wizard in English with a home of its own, $1, and its run log in $1/run.log,
# walked by keyboard from Step 0 to Step 4.
fresh_run() {
    local home=$1 step
    rm -rf "${home:?}"
    mkdir -p "$home"
    in_pc_exec "$home" "${speaking[@]}" LANG=en_US.UTF-8 QT_LOGGING_RULES="tarvex.run.debug=true" \
        "$program" 2>"$home/run.log" &
    wizard_pid=$!
    for step in 0 1 2 3; do
        focus "Step $step$" >/dev/null
        key Return
    done
    focus "Step 4$" >/dev/null
}

# Waits at most $2 seconds for the run of $1 to reach the state named $3.
wait_state() {
    local home=$1 seconds=$2 state=$3
    if ! wait_for "$seconds" grep -Eq "run: \"?$state" "$home/run.log"; then
        echo "demo: the run did not reach '$state' within $seconds s" >&2
        return 1
    fi
}

# Some ends leave no button to press: the wizard goes by its id.
end_run() {
    if [ -n "$wizard_pid" ]; then
        kill "$wizard_pid" 2>/dev/null || true
        wait "$wizard_pid" 2>/dev/null || true
    fi
    wizard_pid=""
    stop_appliances
}

# The other ends of Step 4, each a fresh run of the wizard in English saved into $1.
ends() {
    local folder=$1 home
    local box='^(Warning|Tarvex)$'

    home="$folder/run-reachable"
    start_appliances "$home.far.log"
    fresh_run "$home"
    focus "Select Dravik to configure$" >/dev/null
    key Down # NEAR, the second row, on the PC's subnet
    key Return
    focus "$warning" 15 >/dev/null # the note on the shortcuts
    capture_behind "Step 4$" "$folder/12-near-step4-done.png"
    end_run

    home="$folder/run-none"
    fresh_run "$home"
    capture "^Tarvex$" "$folder/13-no-appliance.png"
    # Show Details..., where the box has it, is the other button: Tab reaches it and Space
    # opens the details. Without it the same keys press OK, the box's only button.
    key Tab
    key space
    sleep 0.7
    if find_window "^Tarvex$" >/dev/null; then
        capture "^Tarvex$" "$folder/14-no-appliance-details.png"
    fi
    end_run

    home="$folder/run-refused"
    start_appliances "$home.far.log" ",config=status:1" no
    fresh_run "$home"
    focus "Select Dravik to configure$" >/dev/null
    key Return
    focus "Config$" >/dev/null
    key Return
    wait_state "$home" 40 refused
    capture_behind "Step 4$" "$folder/15-refused.png"
    end_run

    # The real time-out: 30 s after the request, bounded here by 45.
    home="$folder/run-silent"
    start_appliances "$home.far.log" ",config=silent" no
    fresh_run "$home"
    focus "Select Dravik to configure$" >/dev/null
    key Return
    focus "Config$" >/dev/null
    key Return
    wait_state "$home" 45 "no answer"
    sleep 0.5 # a box that follows the outcome
    capture_behind "Step 4$" "$folder/16-no-answer.png"
    if find_window "$box" >/dev/null; then
        capture "$box" "$folder/17-no-answer-box.png"
    fi
    end_run

    # The PC with two adapters: NEAR on the first LAN, SECOND on the second; the list names
    # the adapter each was heard on.
    home="$folder/run-two-adapters"
    start_appliances "$home.far.log"
    ip netns exec "$lab-ap4" "$simulator" --interface eth0 --lifetime 120 \
        --log "$home.second.log" --ready-file "$home.second.ready" --appliance \
        'id=00:50:43:00:00:04,ip=10.77.4.40,host=SECOND' &
    sim_pids+=($!)
    wait_for 10 test -e "$home.second.ready"
    pc_role=pc2
    fresh_run "$home"
    capture "Select Dravik to configure$" "$folder/18-two-adapters.png"
    pc_role=pc
    end_run
}

# The pages under Wayland, in a headless Weston whose screenshooter --debug allows: the tests'
# window walk (simulated services, no appliance answering) photographs the screen, where the
# compositor alone places the windows, and the pictures join the English ones as $1/19-... on.
wayland_pictures() {
    local folder=$1 shots="$work/wayland" socket=tvx-demo number=19 stem
    if ! command -v weston >/dev/null; then
        echo "demo: no weston, no pictures under Wayland" >&2
        return 0
    fi
    rm -rf "$shots"
    mkdir -p "$shots"
    # A plain desktop behind the windows keeps the pictures small.
    printf '[shell]\nbackground-image=\nbackground-color=0xff5a6470\n' >"$shots/weston.ini"
    weston --config="$shots/weston.ini" --backend=headless-backend.so --socket="$socket" \
        --use-pixman --width=1024 --height=768 --idle-time=0 --debug >"$shots/weston.log" 2>&1 &
    weston_pid=$!
    wait_for 10 test -S "$XDG_RUNTIME_DIR/$socket" || {
        echo "demo: weston did not start (see $shots/weston.log)" >&2
        return 1
    }
    (cd "$shots" && WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland TARVEX_WALK_PICTURES=$shots \
        "$root/$build/tests/wizard/pages/tarvex_window_walk" >"$shots/walk.log" 2>&1) ||
        echo "demo: the walk under Wayland failed (see $shots/walk.log)" >&2
    kill "$weston_pid" 2>/dev/null || true
    wait "$weston_pid" 2>/dev/null || true
    weston_pid=""
    walk_pictures "$shots" "$folder" "$number" wayland
}

# The walk's pictures in the tour's order: walk_pictures <shots> <folder> <first number> <tag>.
walk_pictures() {
    local shots=$1 folder=$2 number=$3 tag=$4 stem
    for stem in w1-step0 w2-exit-question w3-step4-scanning w4-no-appliance w5-device-list \
        w6-exit-question-over-list w7-credentials w8-exit-question-step3; do
        if [ -e "$shots/$stem.png" ]; then
            mv "$shots/$stem.png" "$folder/$number-$tag-${stem#w?-}.png"
            echo "demo:   $folder/$number-$tag-${stem#w?-}.png"
        fi
        # The dialog alone, for the tour's pairs of in-window boxes and their X11 twins.
        if [ -e "$shots/$stem-box.png" ]; then
            mv "$shots/$stem-box.png" "$folder/box-$tag-${stem#w?-}.png"
        fi
        number=$((number + 1))
    done
}

# The same walk under X11 with a window manager (openbox on a private Xvfb, which
# tests/support/on-display.sh starts and stops): framed windows, each box and modal page a
# window transient for the wizard's; the pictures follow the Wayland ones as $1/27-... on.
x11_pictures() {
    local folder=$1 shots="$work/x11"
    if ! command -v openbox >/dev/null; then
        echo "demo: no openbox, no pictures with a window manager" >&2
        return 0
    fi
    rm -rf "$shots"
    mkdir -p "$shots"
    TARVEX_WALK_PICTURES=$shots bash "$root/tests/support/on-display.sh" x11-wm \
        "$root/$build/tests/wizard/pages/tarvex_window_walk" >"$shots/walk.log" 2>&1 ||
        echo "demo: the walk under openbox failed (see $shots/walk.log)" >&2
    walk_pictures "$shots" "$folder" 27 x11
}

# The CD menu as it opens and with the keyboard on its first entry (Tab), in the language $1,
# into $2/00-menu.png and $2/00-menu-focused.png.
menu_pictures() {
    local language=$1 folder=$2 menu="$build/menu/Quirra" attempt shot=""
    [ -x "$menu" ] || return 0
    # A second try: a start that meets the display server busy ends at once.
    for attempt in 1 2; do
        LANG=$language LC_ALL=$language "$menu" >"$folder/menu.log" 2>&1 &
        wizard_pid=$!
        if capture '^Menu$' "$folder/00-menu.png"; then
            key Tab
            capture '^Menu$' "$folder/00-menu-focused.png" && shot=yes
        fi
        kill "$wizard_pid" 2>/dev/null || true
        wait "$wizard_pid" 2>/dev/null || true
        wizard_pid=""
        [ -z "$shot" ] || break
        echo "demo: the menu did not show (try $attempt): $(head -1 "$folder/menu.log")" >&2
    done
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

display=${DEMO_DISPLAY:-}
display=${display#:}
for n in $([ -n "$display" ] || seq 95 140); do
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

echo "demo: walking the wizard on $DISPLAY, in the lab's PC namespace"
if grep -q '^TARVEX_CHINESE_EDITION:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    # A build that forces the Chinese texts speaks nothing else.
    walk zh_TW.UTF-8 "$work/zh"
    echo "demo: this build forces the Chinese texts; the English runs are left out"
    exit 0
fi
walk en_US.UTF-8 "$work/en"
walk zh_TW.UTF-8 "$work/zh"
menu_pictures en_US.UTF-8 "$work/en"
menu_pictures zh_TW.UTF-8 "$work/zh"
echo
echo "demo: the other ends of Step 4, in English"
ends "$work/en"
echo
echo "demo: the pages under Wayland (a headless Weston)"
wayland_pictures "$work/en"
x11_pictures "$work/en"
echo
echo "demo: configured; screenshots of every window are in $work/{en,zh}"
