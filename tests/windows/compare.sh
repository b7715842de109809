#!/bin/bash
# Runs the Linux kon2x and kon2x.exe under Wine on the same inputs and compares
# output files byte for byte, exit statuses and console bytes. Allowed: CR LF
# for "\n" on the Windows console streams, and ".exe" in the usage message.
# Usage: compare.sh LINUX_KON2X WINDOWS_KON2X_EXE INPUT...
set -u
linux_exe=$1
windows_exe=$2
shift 2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all
checked=0
failures=0

fail() {
    echo "DIFFERENT: $1"
    failures=$((failures + 1))
}

# run SIDE NAME ARGS...: runs one build in $work/SIDE with the input inside.
run() {
    local side=$1
    shift
    (
        cd "$work/$side" || exit 99
        if [ "$side" = linux ]; then
            LC_ALL=C "$linux_exe" "$@" < "$work/answers" > "$work/$side.out" 2> "$work/$side.err"
        else
            wine "$windows_exe" "$@" < "$work/answers" > "$work/$side.out" 2> "$work/$side.err"
        fi
        echo $? > "$work/$side.status"
    )
}

# compare_run LABEL OUTPUT_NAME: compares the two runs just made.
compare_run() {
    local label=$1 output=$2
    checked=$((checked + 1))
    cmp -s "$work/linux.status" "$work/windows.status" || fail "$label: status $(cat "$work/linux.status") vs $(cat "$work/windows.status")"
    for stream in out err; do
        # The one allowed difference: the Windows console writes "\n" as CR LF.
        if ! cmp -s "$work/linux.$stream" <(sed 's/\r$//' "$work/windows.$stream" | sed 's/^Usage: kon2x\.exe /Usage: kon2x /'); then
            fail "$label: std$stream differs"
        fi
    done
    if [ -e "$work/linux/$output" ] || [ -e "$work/windows/$output" ]; then
        cmp -s "$work/linux/$output" "$work/windows/$output" || fail "$label: $output differs"
    fi
}

printf '\n\n\n\n' > "$work/answers"
mkdir -p "$work/linux" "$work/windows"

for input in "$@"; do
    name=$(basename "$input")
    stem=${name%.*}
    [ "$stem" = "$name" ] && stem=$name
    rm -rf "$work/linux"/* "$work/windows"/*
    cp "$input" "$work/linux/$name"
    cp "$input" "$work/windows/$name"
    run linux "$name"
    run windows "$name"
    compare_run "$input" "$stem.x"
done

# The usage message, with no argument and with two.
run linux
run windows
compare_run "no argument" none
run linux a b
run windows a b
compare_run "two arguments" none

echo "compared $checked runs: $((checked - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
