#!/bin/bash
# Compares a converter's Linux and Windows builds on many inputs with one
# process per side (kon2x_batch_convert; under Wine a start costs more than a
# conversion): output files, console bytes and exit statuses, byte for byte.
# A Wine failure or a difference runs the Windows side once more, reported.
# Usage: compare_batch.sh LINUX_BATCH WINDOWS_BATCH PROGRAM INPUT...
set -u
linux_batch=$1
windows_batch=$2
program=$3
shift 3
export WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# fill SIDE INPUT...: one folder per input, named by its number.
fill() {
    local side=$1 number=0 input
    shift
    rm -rf "${work:?}/$side"
    for input in "$@"; do
        mkdir -p "$work/$side/$number"
        cp "$input" "$work/$side/$number/"
        number=$((number + 1))
    done
}

folders() { (cd "$work/$1" && ls -d [0-9]*/ | tr -d /); }

fill linux "$@"
(cd "$work/linux" && LC_ALL=C "$linux_batch" "$program" $(folders linux))
for attempt in 1 2; do
    fill windows "$@"
    (cd "$work/windows" && wine "$windows_batch" "$program" $(folders windows))
    if diff -r "$work/linux" "$work/windows" > "$work/differences"; then
        [ "$attempt" -eq 2 ] && echo "UNSTABLE: $program differed once under Wine and matched when run again"
        echo "compared $program on $# inputs in one process each: all equal"
        exit 0
    fi
done
echo "DIFFERENT: $program on the inputs numbered in the order given:"
head -40 "$work/differences"
exit 1
