#!/usr/bin/env bash
# Lays out the folder that goes on the setup CD, from a finished build:
#   Quirra, Tarvex                       the CD menu and the setup wizard, side by side
#   Documents/Quick Installation Guide.doc, Documents/User's Manual.pdf
#   autorun.sh                           what Linux desktops offer to run when the CD is inserted
#   Install/dravik-setup_<version>_<arch>.deb   the same programs to install on the PC
#   README.txt
# Usage: tools/make-cd.sh <build folder> <CD folder>
set -euo pipefail
build=${1:?build folder}
out=${2:?CD folder}

for needed in "$build/menu/Quirra" "$build/wizard/Tarvex" \
    "$build/docs/Documents/Quick Installation Guide.doc" "$build/docs/Documents/User's Manual.pdf"; do
    [[ -f "$needed" ]] || { echo "make-cd: $needed is missing; build first" >&2; exit 1; }
done

rm -rf "$out"
mkdir -p "$out/Documents" "$out/Install"
install -m 0755 -s "$build/menu/Quirra" "$out/Quirra"
install -m 0755 -s "$build/wizard/Tarvex" "$out/Tarvex"
install -m 0644 "$build/docs/Documents/Quick Installation Guide.doc" "$build/docs/Documents/User's Manual.pdf" \
    "$out/Documents/"

# The removable-media autostart file: desktops ask the user, then run it from the medium's root.
cat > "$out/autorun.sh" << 'AUTORUN'
#!/bin/sh
# Opens the setup CD's menu; desktops offer to run this file when the CD is inserted.
cd "$(dirname "$0")" || exit 1
exec ./Quirra "$@"
AUTORUN
chmod 0755 "$out/autorun.sh"

(cpack --config "$build/CPackConfig.cmake" -G DEB -B "$build/cd-package" > "$build/cd-package.log" 2>&1) ||
    { cat "$build/cd-package.log" >&2; exit 1; }
cp "$build"/cd-package/dravik-setup_*.deb "$out/Install/"
deb=$(basename "$(ls "$out"/Install/dravik-setup_*.deb)")

cat > "$out/README.txt" << README
Dravik network hard disk - setup CD

Insert the CD and allow your desktop to run autorun.sh, or run autorun.sh or Quirra from
this folder. The menu starts the setup wizard (Tarvex) and opens the two guides:

  Documents/Quick Installation Guide.doc   power, cabling, running the wizard
  Documents/User's Manual.pdf              every page and message of the wizard

The programs need a Linux desktop with Qt 6.4 or newer (Debian 12: the packages
libqt6widgets6, libqt6svg6, qt6-qpa-plugins and, for Wayland, qt6-wayland). To install
them on the PC instead, with entries in the desktop's application menu:

  sudo apt install ./Install/$deb

Factory management user name and password of the Dravik: qorvu / qorvu (lower case).
README

rm -rf "$build/cd-package"
echo "make-cd: the CD folder is $out/"
(cd "$out" && find . -type f | sort | sed 's/^/  /')
