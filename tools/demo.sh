#!/usr/bin/env bash
# make demo: runs the setup wizard. With a display it simply opens the wizard there. Without one
# it starts a private Xvfb, walks the wizard page by page with the keyboard, both editions, and
# saves a screenshot of every page it reaches under <build>/demo/<edition>/.
# Every wait is bounded; only the processes started here are stopped, by their id.
set -euo pipefail

build=${1:-build}
cd "$(dirname "$0")/.."
program="$build/wizard/Tarvex"
other="$build/wizard/Tarvex-other-edition"

if [ -n "${DISPLAY:-}" ]; then
    echo "demo: opening the wizard on $DISPLAY"
    exec "$program"
fi

xvfb_pid=""
wizard_pid=""
runtime_dir=""
cleanup() {
    if [ -n "$wizard_pid" ] && kill -0 "$wizard_pid" 2>/dev/null; then
        kill "$wizard_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    if [ -n "$runtime_dir" ]; then
        rm -rf "$runtime_dir"
    fi
}
trap cleanup EXIT

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

free_display() {
    for n in $(seq 95 140); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}

# The visible window of the wizard whose title matches $1 (extended regular expression).
find_window() {
    local pattern=$1
    local id
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
    local pattern=$1 file=$2 id=""
    if ! wait_for 15 find_window "$pattern"; then
        echo "demo: no window matching '$pattern' appeared" >&2
        return 1
    fi
    id=$(find_window "$pattern")
    xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
    sleep 0.7 # let the window paint before it is photographed
    import -window "$id" "$file"
    echo "demo:   $file"
}

key() {
    xdotool key --clearmodifiers "$1"
    sleep 0.3
}

# Walks one edition of the wizard from Step 0 to Step 4 and ends it through Exit.
walk() {
    local binary=$1 folder=$2
    mkdir -p "$folder"
    rm -f "$folder"/*.png
    "$binary" &
    wizard_pid=$!

    capture "Step 0$" "$folder/step0.png"
    # Esc opens the exit confirmation; Esc there again is its Cancel.
    key Escape
    capture "^(Warning|提示)$" "$folder/exit-confirmation.png"
    key Escape
    for step in 1 2 3 4; do
        key Return
        capture "Step $step$" "$folder/step$step.png"
    done
    # Exit on Step 4 with OK, the default button of the confirmation.
    key Escape
    capture "^(Warning|提示)$" "$folder/exit-confirmation-step4.png"
    key Return
    if ! wait_for 10 bash -c "! kill -0 $wizard_pid"; then
        echo "demo: the wizard did not end after the confirmed exit" >&2
        kill "$wizard_pid" 2>/dev/null || true
    fi
    wait "$wizard_pid" 2>/dev/null || true
    wizard_pid=""
}

display=$(free_display) || {
    echo "demo: no free X display number" >&2
    exit 1
}
export DISPLAY=":$display"
unset QT_QPA_PLATFORM
# A private runtime folder, as a desktop session would give the programs.
runtime_dir=$(mktemp -d)
export XDG_RUNTIME_DIR="$runtime_dir"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
if ! wait_for 10 xdpyinfo; then
    echo "demo: Xvfb did not start on $DISPLAY" >&2
    exit 1
fi

cmake --build "$build" --target Tarvex-other-edition -j 2 >/dev/null

# The default build is English unless it was configured as the Chinese edition.
if grep -q '^TARVEX_CHINESE_EDITION:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    main_folder=zh other_folder=en
else
    main_folder=en other_folder=zh
fi

echo "demo: walking the wizard on $DISPLAY"
walk "$program" "$build/demo/$main_folder"
walk "$other" "$build/demo/$other_folder"
echo "demo: screenshots of every page are in $(cd "$build/demo" && pwd)/{$main_folder,$other_folder}"
