#!/usr/bin/env bash
# Installs the Debian packages this project builds, tests and demonstrates with.
# Idempotent: packages already installed are skipped, and apt is only asked when one is missing.
set -euo pipefail

packages=(
    # toolchain
    g++ make cmake pkg-config clang libclang-rt-14-dev
    # Qt 6 (Widgets, Network, Svg, Test) and its platform plugins, X11's and Wayland's
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins qt6-wayland libgl-dev libxcb1-dev
    # the font configuration Qt uses, asked which languages it orders faces by
    libfontconfig-dev
    # Qt's own button texts (OK, Cancel) in Traditional Chinese
    qt6-translations-l10n
    # tests, and the gates of `make check`
    libgtest-dev libgmock-dev clang-format shellcheck
    # real windows on display servers of the tests' own, and their screenshots: X11 and a
    # headless Wayland compositor, and a small window manager that frames the X11 windows
    xvfb xauth xdotool x11-utils imagemagick weston openbox
    # fonts: sans serif stand-ins for MS Sans Serif, Verdana and Arial; a proportional serif face
    # (Liberation Serif) with a Ming face for the CJK glyphs of the Ming labels
    fonts-liberation fonts-dejavu-core fonts-arphic-uming
    # lab network for the network tests (nftables: datagrams lost on purpose), packaging
    iproute2 nftables dpkg-dev file
    # the wizard's probe for an ordinary user (ping holds CAP_NET_RAW), the demo's check that the
    # moved appliance answers; setcap restores ping's capability; the benchmark writes its table
    iputils-ping libcap2-bin python3
    # reading the built guides back in tests, checking and launching the desktop entries; a
    # private bus for the diagnosis's bus question
    poppler-utils desktop-file-utils libglib2.0-bin dbus-daemon
    # the accessibility bus a screen reader listens on, on a private session bus
    at-spi2-core dbus-bin
    # checking the package (lintian), its manual pages, software centre entry and firewalld service
    lintian man-db appstream libxml2-utils
)

# Debian installs ping with the capability CAP_NET_RAW as a file attribute; a system image copied
# without extended attributes loses it, and then no ordinary user can probe. Put it back as the
# package's own set-up does.
ensure_ping_capability() {
    local ping=/usr/bin/ping
    [ -x "$ping" ] || return 0
    if getcap "$ping" 2>/dev/null | grep -q cap_net_raw || [ -u "$ping" ]; then
        return 0
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "install-deps: $ping lacks CAP_NET_RAW: sudo setcap cap_net_raw+ep $ping" >&2
        return 1
    fi
    echo "install-deps: giving $ping back its capability CAP_NET_RAW"
    setcap cap_net_raw+ep "$ping"
}

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#packages[@]} packages present"
    ensure_ping_capability
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages need root: sudo apt-get install ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# An automatic update may hold the package lock at any moment: wait for it, within bounds, rather
# than fail. apt-get install waits by itself (DPkg::Lock::Timeout); apt-get update does not wait
# for the lists' lock, so it is tried again while another program holds it.
lock_wait=600
deadline=$((SECONDS + lock_wait))
until output=$(apt-get update -qq 2>&1); do
    if ! grep -q 'Could not get lock\|Unable to lock' <<<"$output" || [ "$SECONDS" -ge "$deadline" ]; then
        echo "$output" >&2
        exit 1
    fi
    echo "install-deps: another program holds the package lock; waiting" >&2
    sleep 5
done
[ -z "$output" ] || echo "$output"
apt-get -o DPkg::Lock::Timeout="$lock_wait" install -y -qq --no-install-recommends "${missing[@]}"
ensure_ping_capability
