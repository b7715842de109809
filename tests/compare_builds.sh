#!/bin/bash
# Runs a Linux converter and its Windows build (the .exe under Wine) on the
# same inputs and compares output files byte for byte, exit statuses and
# console bytes. The Linux side runs in the C locale ("ö" is 0xF6 on both
# sides); allowed are CR LF for "\n" on the Windows console and ".exe" in the
# usage message. Wine itself fails now and then, so a difference is run once
# more; more than two such second chances fail the comparison. (The
# WebAssembly build is compared by tests/web/compare_wasi.mjs.)
# Besides the inputs: no argument, two arguments, a missing input and an
# output that cannot be created.
# Usage: compare_builds.sh windows LINUX_PROGRAM OTHER_PROGRAM OUTPUT_EXTENSION INPUT...
set -u
mode=$1
linux_exe=$2
other_exe=$3
extension=$4
shift 4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all
checked=0
failures=0
unstable=0
input=  # the input file of the current check, if any
attempts=2
if [ "$mode" != windows ]; then
    echo "compare_builds.sh: unknown mode $mode" >&2
    exit 2
fi

# prepare_folders: empty run folders, each holding a copy of the current input.
prepare_folders() {
    rm -rf "$work/linux" "$work/other"
    mkdir -p "$work/linux" "$work/other"
    if [ -n "$input" ]; then
        cp "$input" "$work/linux/"
        cp "$input" "$work/other/"
    fi
}

# run SIDE ARGS...: runs one build in $work/SIDE with the input inside.
run() {
    local side=$1
    shift
    (
        cd "$work/$side" || exit 99
        if [ "$side" = linux ]; then
            LC_ALL=C "$linux_exe" "$@"
        else
            wine "$other_exe" "$@"
        fi < "$work/answers" > "$work/$side.out" 2> "$work/$side.err"
        echo $? > "$work/$side.status"
    )
}

# as_linux STREAM_FILE: the other side's console bytes with the allowed differences undone.
as_linux() {
    sed 's/\r$//' "$1" | sed 's/^Usage: \(kon2[a-z]*\)\.exe /Usage: \1 /'
}

# show_stream STREAM: prints both sides of a console stream that differs.
show_stream() {
    for side in linux other; do
        echo "  $side std$1:"
        od -c "$work/$side.$1" | head -20 | sed 's/^/    /'
    done
}

# differences LABEL OUTPUT_NAME: prints what differs between the two runs just
# made; fails when anything does.
differences() {
    local label=$1 output=$2 found=0
    if ! cmp -s "$work/linux.status" "$work/other.status"; then
        echo "DIFFERENT: $label: status $(cat "$work/linux.status") vs $(cat "$work/other.status")"
        found=1
    fi
    for stream in out err; do
        if ! cmp -s "$work/linux.$stream" <(as_linux "$work/other.$stream"); then
            echo "DIFFERENT: $label: std$stream differs"
            show_stream "$stream"
            found=1
        fi
    done
    if [ -e "$work/linux/$output" ] || [ -e "$work/other/$output" ]; then
        if ! cmp -s "$work/linux/$output" "$work/other/$output"; then
            echo "DIFFERENT: $label: $output differs"
            found=1
        fi
    fi
    return $found
}

# check LABEL OUTPUT_NAME [SETUP] -- ARGS...: runs both builds with ARGS in
# folders prepared by prepare_folders and then the SETUP command, and compares.
check() {
    local label=$1 output=$2 setup=$3
    shift 3
    checked=$((checked + 1))
    local attempt
    for ((attempt = 1; attempt <= attempts; attempt++)); do
        prepare_folders
        [ -n "$setup" ] && (cd "$work/linux" && eval "$setup") && (cd "$work/other" && eval "$setup")
        run linux "$@"
        run other "$@"
        if differences "$label" "$output"; then
            if [ "$attempt" -gt 1 ]; then
                unstable=$((unstable + 1))
                echo "UNSTABLE: $label differed once under Wine and matched when run again"
            fi
            return 0
        fi
    done
    failures=$((failures + 1))
}

printf '\n\n\n\n' > "$work/answers"

for input in "$@"; do
    name=$(basename "$input")
    stem=${name%.*}
    [ "$stem" = "$name" ] && stem=$name
    check "$input" "$stem$extension" "" "$name"
done

# The usage message, with no argument and with two; a missing input.
input=
check "no argument" none ""
check "two arguments" none "" a b
check "missing input" none "" missing.kon
# An output that cannot be created: a folder has its name.
input=$1
name=$(basename "$input")
check "output cannot be created" none "mkdir '${name%.*}$extension'" "$name"

echo "compared $checked runs: $((checked - failures)) passed, $failures failed, $unstable passed when run again"
[ "$failures" -eq 0 ] && [ "$unstable" -le 2 ]
