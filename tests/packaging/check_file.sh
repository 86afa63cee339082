#!/usr/bin/env bash
# Checks one of the files the package adds to a desktop, without installing or enabling
# anything:  check_file.sh <kind> <file>
#   man        the page renders with man-db, without a groff warning, and has the sections
#              named after the file (NAME, SYNOPSIS, DESCRIPTION, SEE ALSO by default)
#   desktop    the desktop entry is valid and has a Traditional Chinese name and comment
#   metainfo   the software centre entry is valid AppStream (offline), names the release and
#              has its name, summary and description in Traditional Chinese
#   ufw        the ufw application profile parses as ufw reads it and opens UDP port 12310
#   firewalld  the firewalld service is valid against its schema and opens UDP port 12310
set -euo pipefail
kind=$1
file=$2
here=$(dirname "$0")
fail() { echo "FAIL: $*" >&2; exit 1; }
[[ -f "$file" ]] || fail "no such file: $file"

case $kind in
man)
    headings=("${@:3}")
    ((${#headings[@]})) || headings=(NAME SYNOPSIS DESCRIPTION "SEE ALSO")
    # A UTF-8 locale, as a desktop has, so that pages in other scripts render too.
    export LC_ALL=C.UTF-8 MANWIDTH=80
    warnings=$(man --warnings -l "$file" 2>&1 > /dev/null) || fail "man could not render $file"
    [[ -z "$warnings" ]] || fail "groff warnings: $warnings"
    text=$(man -l "$file" 2> /dev/null)
    for heading in "${headings[@]}"; do
        grep -qx "$heading" <<< "$text" || fail "no $heading section"
    done
    echo "$text" | sed -n "/^${headings[0]}\$/{n;p}"
    ;;
desktop)
    desktop-file-validate "$file" || fail "desktop-file-validate"
    for key in Name Comment $(grep -q '^GenericName=' "$file" && echo GenericName); do
        grep -q "^$key\[zh_TW\]=..*" "$file" || fail "no ${key}[zh_TW]"
    done
    sed -n 's/^Name\[zh_TW\]=//p' "$file"
    ;;
metainfo)
    appstreamcli validate --no-net "$file" || fail "appstreamcli"
    version=$3
    grep -q "<release version=\"$version\" date=\"[0-9]\{4\}-[0-9]\{2\}-[0-9]\{2\}\"" "$file" ||
        fail "no release $version with a date"
    grep -q '<launchable type="desktop-id">tarvex.desktop</launchable>' "$file" || fail "launchable"
    for element in name summary p li; do
        grep -q "<$element xml:lang=\"zh-TW\">" "$file" || fail "no $element in zh-TW"
    done
    ;;
ufw)
    # The format ufw reads: [profile] sections with title, description and ports, where ports
    # is a |-separated list of port[,port...] or first:last, each optionally /tcp or /udp.
    profiles=0
    opens_replies=0
    while IFS= read -r line; do
        case $line in
        '' | '#'*) ;;
        '['*']')
            profiles=$((profiles + 1))
            name=${line:1:-1}
            [[ -n "$name" && ! "$name" =~ ^[0-9] && ! "$name" =~ [/\"\'] ]] ||
                fail "profile name '$name'"
            ;;
        title=?* | description=?*) ;;
        ports=?*)
            IFS='|' read -ra entries <<< "${line#ports=}"
            for entry in "${entries[@]}"; do
                [[ "$entry" =~ ^[0-9]+(:[0-9]+)?(,[0-9]+(:[0-9]+)?)*(/(tcp|udp))?$ ]] ||
                    fail "ports entry '$entry'"
                for port in $(tr ',:' '  ' <<< "${entry%/*}"); do
                    ((port >= 1 && port <= 65535)) || fail "port $port"
                done
                [[ "$entry" == 12310/udp ]] && opens_replies=1
            done
            ;;
        *) fail "line not understood: $line" ;;
        esac
    done < "$file"
    ((profiles == 1)) || fail "$profiles profiles, expected one"
    for key in title description ports; do
        [[ $(grep -c "^$key=" "$file") -eq 1 ]] || fail "needs one $key"
    done
    ((opens_replies)) || fail "does not open 12310/udp"
    echo "profile '$name': $(sed -n 's/^ports=//p' "$file")"
    ;;
firewalld)
    xmllint --noout --schema "$here/firewalld-service.xsd" "$file" || fail "schema"
    count=$(xmllint --xpath 'count(//port)' "$file")
    ports=$(xmllint --xpath 'concat(//port/@port, "/", //port/@protocol)' "$file")
    ((count == 1)) || fail "$count ports, expected one"
    [[ "$ports" == 12310/udp ]] || fail "opens '$ports', expected 12310/udp only"
    echo "service $(basename "$file" .xml): $ports"
    ;;
*) fail "unknown kind $kind" ;;
esac
