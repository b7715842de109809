#!/bin/bash
# kon2x.exe under Wine with paths as a dropped file brings them: absolute with a
# drive letter, spaces and several dots; relative with a backslash; a name in
# the Western European code page. The output lands next to the input.
# Usage: paths.sh WINDOWS_KON2X_EXE INPUT
set -u
exe=$1
input=$2
export WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
expect() {
    if [ "$1" = "$2" ]; then echo "ok: $3"; else echo "FAILED: $3 ($1 vs $2)"; failures=$((failures + 1)); fi
}

mkdir -p "$work/plain" "$work/My Files" "$work/sub"
cp "$input" "$work/plain/plain.kon"
(cd "$work/plain" && wine "$exe" plain.kon < /dev/null > /dev/null 2>&1)
reference=$(md5sum < "$work/plain/plain.x")

cp "$input" "$work/My Files/haus.v2.kon"
windows_path="Z:$(echo "$work/My Files/haus.v2.kon" | tr '/' '\\')"
(cd "$work" && wine "$exe" "$windows_path" < /dev/null > /dev/null 2>&1)
expect "$(md5sum < "$work/My Files/haus.v2.x" 2>/dev/null)" "$reference" "absolute path $windows_path"

cp "$input" "$work/sub/haus.kon"
(cd "$work" && wine "$exe" 'sub\haus.kon' < /dev/null > /dev/null 2>&1)
expect "$(md5sum < "$work/sub/haus.x" 2>/dev/null)" "$reference" 'relative path sub\haus.kon'

cp "$input" "$work/Häuser.kon"
(cd "$work" && LANG=C.UTF-8 LC_ALL=C.UTF-8 wine "$exe" "Häuser.kon" < /dev/null > /dev/null 2>&1)
expect "$(md5sum < "$work/Häuser.x" 2>/dev/null)" "$reference" "code page name Häuser.kon"

# The o umlaut is the byte 0xF6 on Windows, whatever the locale.
cp "$input" "$work/locked.kon"
mkdir "$work/locked.x"
(cd "$work" && LANG=C.UTF-8 LC_ALL=C.UTF-8 wine "$exe" locked.kon < /dev/null > /dev/null 2> "$work/err")
expect "$(od -An -tx1 "$work/err" | tr -d ' \n')" \
    "$(printf 'locked.x kann nicht ge\366ffnet werden\r\n' | od -An -tx1 | tr -d ' \n')" "o umlaut as 0xF6"

echo "paths: $failures failed"
[ "$failures" -eq 0 ]
