#!/usr/bin/env bash
# Regenerates docs/tour.md and its pictures from the screenshots of the last `make demo`: the
# English ones (build/demo/en), then the Traditional Chinese pages of the installed wizard
# (build/demo/zh, into docs/tour/zh). The pictures are the windows only, as PNG.
set -euo pipefail
cd "$(dirname "$0")/.."
from=${1:-build/demo/en}
from_zh=${2:-build/demo/zh}
to=docs/tour
for folder in "$from" "$from_zh"; do
    [ -e "$folder/01-step0.png" ] || {
        echo "make-tour: run make demo first ($folder is empty)" >&2
        exit 1
    }
done

declare -A lines=(
    [00-menu]="The CD's start-up menu: the wizard, the two guides, the PDF reader's download page, the web site, and Exit."
    [00-menu-focused]="The menu by keyboard: Tab and the arrow keys move a frame from entry to entry, Enter or Space starts the framed one."
    [01-step0]="Step 0, the welcome page: what the wizard will do."
    [02-exit-confirmation]="Exit (or Esc) on any page asks before the wizard closes."
    [03-step1]="Step 1: plug in and power on the Dravik."
    [04-step2]="Step 2: connect the Dravik to the PC's network."
    [05-step3]="Step 3: Express Setup, the one setup mode; Next starts the run."
    [06-step4-scanning]="Step 4 at work: the scan for appliances; Previous and Exit wait for the outcome."
    [07-device-list]="Every Dravik that answered, with whether the PC can reach it. FAR is on another subnet."
    [08-credentials]="FAR needs an address on the PC's subnet: the management credentials, preset to the factory ones."
    [09-configured]="FAR took its new address; the two shortcuts are on the desktop."
    [10-closing-question]="The last question: open the shortcuts now, or just close the wizard."
    [11-far-step4-done]="Step 4 done for FAR: every step ticked, the address given and the shortcuts made."
    [12-near-step4-done]="NEAR, on the PC's subnet, is reachable: nothing to configure, every step ticked, the shortcuts made."
    [13-no-appliance]="No Dravik answered the scan: the wizard says what to check, and OK goes back to Step 3."
    [14-no-appliance-details]="Show Details... opens what the wizard found out about the PC."
    [15-refused]="FAR refused the configuration (wrong credentials, say): a cross on step 3; Previous goes back to Step 3."
    [16-no-answer]="FAR never answered the configuration: after the 30 s time-out a cross on step 3; Previous and Exit stay usable."
    [17-no-answer-box]="The note that goes with the missing answer."
    [18-two-adapters]="On a PC with two adapters the wizard asks through both: each appliance once, with the adapter it was heard on."
    [19-wayland-step0]="Under Wayland (here Weston), where the compositor alone places windows: every page is shown in one window, which stays put from step to step."
    [20-wayland-exit-question]="Under Wayland no compositor places a dialog by its parent, so the exit question is drawn inside the wizard's window, centred over the dimmed page on a framed and shadowed card, its title as its heading; the box itself looks as its window does under X11."
    [21-wayland-step4-scanning]="Step 4 takes the same window's place; nothing moves between the steps."
    [22-wayland-no-appliance]="The run's boxes come the same way (here no appliance answered): the page behind stays inert until OK."
    [23-wayland-device-list]="The device list, a modal page, is drawn inside the window as well, over the page."
    [24-wayland-exit-question-over-list]="A box over the device list stands over both, the list dimmed with the page."
    [25-wayland-credentials]="The credentials page, inside the same window: one window for the whole run."
    [26-wayland-exit-question-step3]="Back at Step 3, still the one window, and the exit question once more."
    [27-x11-step0]="Under X11 with a window manager (here openbox): the wizard's frame centred on the screen."
    [28-x11-exit-question]="Under X11 every box is a window of its own, transient for the wizard's, which the window manager keeps over it."
    [29-x11-step4-scanning]="Step 4 in the same window."
    [30-x11-no-appliance]="The box when no appliance answered, a window over the wizard's."
    [31-x11-device-list]="The device list, a window transient for the wizard's, its frame centred on the screen as the wizard's is."
    [32-x11-exit-question-over-list]="A box over the device list is transient for the list."
    [33-x11-credentials]="The credentials page, a window over the wizard's."
    [34-x11-exit-question-step3]="Back at Step 3, and the exit question once more."
)

# 8-bit palette PNGs: the windows use few colours, and the files stay small.
picture() {
    convert "$1" -strip -colors 256 "PNG8:$2"
}

# Each screenshot of a folder with its line: pictures() <screenshots> <pictures> <name prefix>.
pictures() {
    local stem
    # By name without the extension, so that 00-menu comes before 00-menu-focused.
    for stem in $(find "$1" -maxdepth 1 -name '[0-9][0-9]-*.png' -printf '%f\n' |
        sed 's/\.png$//' | LC_ALL=C sort); do
        picture "$1/$stem.png" "$2/$stem.png"
        echo
        echo "${lines[$stem]:-$stem}"
        echo
        echo "![$3$stem](${2#docs/}/$stem.png)"
    done
}

declare -A box_lines=(
    [exit-question]="The exit question."
    [no-appliance]="The box when no appliance answered, with its Show Details... button."
    [device-list]="The device list."
    [exit-question-over-list]="The exit question over the device list."
    [credentials]="The credentials page, its preset password selected so that typing replaces it."
    [exit-question-step3]="The exit question at Step 3."
)

# Each dialog drawn inside the window under Wayland (left) beside its window under X11 (right),
# where the demo photographed both: boxes <screenshots> <pictures>.
boxes() {
    local stem
    [ -e "$1/box-wayland-exit-question.png" ] || return 0
    echo
    echo "## The dialogs inside the window beside their windows"
    echo
    echo "Each dialog as Wayland shows it, drawn inside the wizard's window on a framed and"
    echo "shadowed card under its title (left), beside the same dialog as a window of its own under"
    echo "X11 with openbox (right): the same colours, margins, sizes and focus."
    for stem in exit-question no-appliance device-list exit-question-over-list credentials \
        exit-question-step3; do
        if [ ! -e "$1/box-wayland-$stem.png" ] || [ ! -e "$1/box-x11-$stem.png" ]; then
            continue
        fi
        # Side by side on the desktop's colour, 16 pixels apart.
        convert "$1/box-wayland-$stem.png" -size 16x1 xc:"#5a6470" "$1/box-x11-$stem.png" \
            -background "#5a6470" -gravity center +append "$1/pair-$stem.png"
        picture "$1/pair-$stem.png" "$2/pair-$stem.png"
        echo
        echo "${box_lines[$stem]}"
        echo
        echo "![pair-$stem](${2#docs/}/pair-$stem.png)"
    done
}

mkdir -p "$to" "$to/zh"
rm -f "$to"/*.png "$to"/zh/*.png
{
    echo "# A tour of the setup wizard"
    echo
    echo "What \`make demo\` shows, window by window: a whole setup of a Dravik on a foreign subnet,"
    echo "against simulated appliances on the lab network, then the other ways Step 4 can end, each"
    echo "from a fresh start: an appliance the PC reaches, none at all, a refusal and no answer;"
    echo "last, the pages on a Wayland desktop (a headless Weston), whole screens as the compositor"
    echo "placed the windows, and on X11 under a window manager (openbox)."
    echo "Regenerate with \`tools/make-tour.sh\` after \`make demo\`."
    pictures "$from" "$to" ""
    boxes "$from" "$to"
    echo
    echo "## In Traditional Chinese"
    echo
    echo "The same setup on a Traditional Chinese desktop: the wizard installed from the Debian"
    echo "package (unpacked into a scratch root by \`make demo\`) and started with"
    echo "\`LANG=zh_TW.UTF-8\`. Every page and message takes the catalog's Chinese set and Qt's own"
    echo "buttons read 確定 / 取消; the window captions stay English."
    pictures "$from_zh" "$to/zh" zh-
} > docs/tour.md
echo "make-tour: docs/tour.md with $(find "$to" -name "*.png" | wc -l) pictures ($(du -sk "$to" | cut -f1) KiB)"
