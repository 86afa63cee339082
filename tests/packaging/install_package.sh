#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian, installs it into a scratch root with its own
# empty dpkg database, checks the files and the declared dependencies, then removes it (and
# purges it, for the conffile) and checks nothing is left.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" > "$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack did not build the package"; }
deb=$(ls "$scratch"/out/dravik-setup_*.deb)
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

control=$(dpkg-deb --field "$deb")
echo "$control" | grep -E '^(Package|Depends|Section|Maintainer):'
depends=$(echo "$control" | sed -n 's/^Depends: //p')
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libqt6svg6 libc6 qt6-qpa-plugins qt6-wayland \
    xdg-utils iputils-ping fonts-liberation fonts-dejavu-core fonts-arphic-uming \
    qt6-translations-l10n; do
    [[ ", $depends," == *", $needed"[\ ,\(]* ]] || fail "Depends lacks $needed: $depends"
done
echo "$control" | grep -q '^Section: net$' || fail "section"
[[ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles)" == /etc/ufw/applications.d/dravik-setup ]] ||
    fail "the ufw profile is not the one conffile"

# Debian's package checker: no error and no warning. Informational tags are shown but allowed:
# the guides live beside the menu (it opens them from its own folder, as on the CD), the
# catalog's texts keep their spelling, and the binaries keep the compiler's .comment note.
lintian_status=0
lintian --display-info --fail-on error,warning "$deb" > "$scratch/lintian.log" 2>&1 || lintian_status=$?
grep -v '^running with root' "$scratch/lintian.log" || true
[[ $lintian_status -eq 0 ]] || fail "lintian reports errors or warnings (status $lintian_status)"
echo "lintian: no errors, no warnings"

root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg_root() {
    dpkg --root="$root" --log="$scratch/dpkg.log" --force-not-root --force-depends \
        --force-script-chrootless "$@"
}
dpkg_root -i "$deb" > "$scratch/install.log" 2>&1 || { cat "$scratch/install.log" >&2; fail "install"; }

expected=(
    usr/bin/Tarvex
    usr/bin/Quirra
    usr/libexec/dravik-setup/Quirra
    usr/libexec/dravik-setup/Tarvex
    "usr/libexec/dravik-setup/Documents/Quick Installation Guide.doc"
    "usr/libexec/dravik-setup/Documents/User's Manual.pdf"
    usr/share/applications/tarvex.desktop
    usr/share/applications/quirra.desktop
    usr/share/icons/hicolor/scalable/apps/tarvex.svg
    usr/share/icons/hicolor/scalable/apps/quirra.svg
    usr/share/icons/hicolor/16x16/apps/tarvex.png
    usr/share/icons/hicolor/16x16/apps/quirra.png
    usr/share/icons/hicolor/32x32/apps/tarvex.png
    usr/share/icons/hicolor/32x32/apps/quirra.png
    usr/share/man/man1/Tarvex.1.gz
    usr/share/man/man1/Quirra.1.gz
    usr/share/man/zh_TW/man1/Tarvex.1.gz
    usr/share/man/zh_TW/man1/Quirra.1.gz
    usr/share/metainfo/example.dravik.tarvex.metainfo.xml
    usr/share/doc/dravik-setup/copyright
    usr/share/doc/dravik-setup/changelog.gz
    etc/ufw/applications.d/dravik-setup
    usr/lib/firewalld/services/dravik-setup.xml
)
listed=$(dpkg_root -L dravik-setup)
for file in "${expected[@]}"; do
    [[ -e "$root/$file" ]] || fail "not installed: /$file"
    grep -qxF "/$file" <<< "$listed" || fail "not listed by dpkg -L: /$file"
done
# Both links stay inside the installed tree, so the menu finds the wizard beside itself.
[[ -x "$root/usr/bin/Quirra" && -x "$root/usr/libexec/dravik-setup/Tarvex" ]] || fail "links"
[[ "$(readlink -f "$root/usr/bin/Quirra")" == "$(readlink -f "$root/usr/libexec/dravik-setup/Quirra")" ]] ||
    fail "bin/Quirra does not lead to the menu"
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop entries"
fi
# man finds each program's page by the program's name, and the Traditional Chinese one for a
# desktop in that language.
declare -A page_names=(
    [Tarvex/en_US]="Tarvex - set up" [Tarvex/zh_TW]="Tarvex - 在區域網路上設定"
    [Quirra/en_US]="Quirra - start-up menu" [Quirra/zh_TW]="Quirra - Dravik 安裝光碟"
)
for page in "${!page_names[@]}"; do
    MANPATH=$root/usr/share/man MANWIDTH=80 LC_ALL=C.UTF-8 man -L "${page#*/}" 1 "${page%/*}" 2> /dev/null |
        grep -q "^ *${page_names[$page]}" || fail "man does not show the page $page"
done
echo "installed: ${#expected[@]} expected files present"

dpkg_root -r dravik-setup > "$scratch/remove.log" 2>&1 || { cat "$scratch/remove.log" >&2; fail "remove"; }
[[ -e "$root/etc/ufw/applications.d/dravik-setup" ]] || fail "remove took the conffile"
dpkg_root -P dravik-setup > "$scratch/purge.log" 2>&1 || { cat "$scratch/purge.log" >&2; fail "purge"; }
leftovers() { find "$root" -path "$root/var" -prune -o \( -type f -o -type l \) -print; }
left=$(leftovers | wc -l)
[[ "$left" -eq 0 ]] || { leftovers >&2; fail "$left files left after removal"; }
status=$(dpkg_root -s dravik-setup 2>&1 || true)
grep -q "not-installed\|not installed" <<< "$status" || fail "still known to dpkg: $status"
echo "removed and purged cleanly"
