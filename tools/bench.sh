#!/usr/bin/env bash
# make bench: the wizard's speed figures on the lab network, each next to the same work done the
# old way (one probe at a time on the user-interface thread; every pending reply read at once),
# in the same run, and the run time of the diagnosis. Prints a table and writes
# <build>/bench/results.json. Not a test: it asserts nothing. Needs root (the lab's namespaces),
# and nftables for the figure with lost datagrams.
set -euo pipefail
build=${1:-build}
runs=${RUNS:-5}
cd "$(dirname "$0")/.."
lab=${BENCH_LAB:-tvxbench} # a name of its own where another bench may run
out="$build/bench"
mkdir -p "$out"

if [ "$(id -u)" -ne 0 ]; then
    echo "bench: needs root for the lab network (sudo make bench)" >&2
    exit 1
fi

xvfb_pid=""
wizard_pid=""
cleanup() {
    for pid in "$wizard_pid" "$xvfb_pid"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    bash tools/lab.sh down "$lab" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

cmake --build "$build" --target tarvex_bench Tarvex appliance_sim -j 2 >/dev/null
# The late ARP answers of the address search's figure.
cmake --build "$build" --target arp_responder -j 2 >/dev/null
bash tools/lab.sh up "$lab" >/dev/null
ip netns exec "$lab-pc" sysctl -q -w net.ipv4.ping_group_range='0 2147483647'

echo "bench: $runs runs of each figure on the lab network"
bash tools/lab-run.sh "$lab" pc "$build/tests/lab/tarvex_bench" --runs "$runs" 2>/dev/null \
    > "$out/figures.jsonl"
ip netns exec "$lab-pc2" sysctl -q -w net.ipv4.ping_group_range='0 2147483647'
bash tools/lab-run.sh "$lab" pc2 "$build/tests/lab/tarvex_bench" --runs "$runs" --only adapters \
    2>/dev/null >> "$out/figures.jsonl"

# 4. Cold start to the first page on screen, and the peak resident memory, under Xvfb.
display=""
for n in $(seq 141 180); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=$n
        break
    fi
done
export DISPLAY=":$display"
unset QT_QPA_PLATFORM
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
home=$(mktemp -d)
starts=()
memories=()
for _ in $(seq "$runs"); do
    begin=$(date +%s%N)
    ip netns exec "$lab-pc" env HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_DATA_HOME="$home/.local/share" "$build/wizard/Tarvex" &
    wizard_pid=$!
    # Polled tightly: xdotool's own --sync waits in half-second steps.
    for _ in $(seq 2000); do
        xdotool search --onlyvisible --pid "$wizard_pid" >/dev/null 2>&1 && break
        sleep 0.002
    done
    shown=$(date +%s%N)
    sleep 0.5
    memories+=("$(awk '/VmHWM/ {printf "%.1f", $2 / 1024}' "/proc/$wizard_pid/status")")
    starts+=("$(((shown - begin) / 1000000))")
    kill "$wizard_pid"
    wait "$wizard_pid" 2>/dev/null || true
    wizard_pid=""
done
rm -rf "$home"
python3 - "$out" "${starts[*]}" "${memories[*]}" <<'PY'
import json, sys
out, starts, memories = sys.argv[1], sys.argv[2].split(), sys.argv[3].split()
def spread(values):
    values = sorted(float(v) for v in values)
    return {"min": values[0], "median": values[len(values) // 2], "max": values[-1], "runs": values}
figures = [json.loads(line) for line in open(f"{out}/figures.jsonl") if line.strip()]
figures.append({"figure": "cold start to the first page on screen (Xvfb)", "unit": "ms",
                "ours": spread(starts)})
figures.append({"figure": "peak resident memory, Step 0", "unit": "MB", "ours": spread(memories)})
json.dump(figures, open(f"{out}/results.json", "w"), indent=2)
def shown(value):
    # Whole numbers, but small figures (the diagnosis takes a few milliseconds) keep two places.
    return f"{value:.0f}" if value >= 10 or value == int(value) else f"{value:.2f}"
def spans(s):
    return f"{shown(s['min'])} / {shown(s['median'])} / {shown(s['max'])}"
print(f"| figure | unit | ours: min / median / max | the old way: min / median / max |")
print(f"| --- | --- | --- | --- |")
for f in figures:
    row = f"| {f['figure']} | {f['unit']} | {spans(f['ours'])} |"
    old = f.get("old_way")
    row += f" {spans(old)} ({f['old_way_is']}) |" if old else " - |"
    print(row)
print(f"\nbench: {out}/results.json")
PY
