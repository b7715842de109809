#!/bin/bash
# kon2batch.exe under Wine against the Linux kon2batch, one process per side:
# the corpus and 300 generated files in nested folders, with names that need
# care (spaces, ä, two dots, a name outside every Western code page); the
# output trees byte for byte and the CSV reports but for the times and the
# folder separator, and the exit statuses; then the second of three shards.
# The folders are given by name, so that a name outside the code page also
# passes through the command line. A Wine failure or a difference runs the
# Windows side once more, reported.
# Usage: compare_kon2batch.sh LINUX_KON2BATCH WINDOWS_KON2BATCH SAMPLE_GENERATOR INPUT...
set -u -o pipefail
linux=$1
windows=$2
generator=$3
shift 3
export WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/tree/corpus" "$work/tree/a b/ä.x/deep" "$work/tree/模型"
cp "$@" "$work/tree/corpus/"
"$generator" "$work/generated" 300 11 < /dev/null
names=("a b" "a b/ä.x/deep" "模型" "corpus")
number=0
for file in "$work"/generated/*; do
    name=$(basename "$file")
    [ $((number % 7)) -eq 0 ] && name="häuser zwei.${name}"
    mv "$file" "$work/tree/${names[number % 4]}/$name"
    number=$((number + 1))
done
cp "$work/tree/corpus/grid.kon" "$work/tree/模型/模型.kon"

# side NAME COMMAND...: a fresh copy of the tree, converted there, its report
# with '/' between folders and without the milliseconds column.
side() {
    local name=$1
    shift
    rm -rf "${work:?}/$name" "$work/$name.csv"
    cp -r "$work/tree" "$work/$name"
    (cd "$work/$name" && "$@" --report ../$name.raw.csv "a b" 模型 corpus < /dev/null > /dev/null 2>&1)
    echo "status $?" > "$work/$name.status"
    tr '\\' '/' < "$work/$name.raw.csv" | python3 -c '
import csv, sys
rows = list(csv.reader(sys.stdin))
writer = csv.writer(sys.stdout, lineterminator="\n")
for row in rows:
    writer.writerow(row[:12] + row[13:])' > "$work/$name.csv"
}

compare() {  # LABEL ARGUMENTS...: both sides with these arguments
    local label=$1 attempt
    shift
    side linux env LC_ALL=C "$linux" "$@"
    for attempt in 1 2; do
        side windows wine "$windows" "$@"
        if [ -s "$work/linux.csv" ] && diff -r "$work/linux" "$work/windows" > "$work/differences" &&
            diff "$work/linux.csv" "$work/windows.csv" >> "$work/differences" &&
            diff "$work/linux.status" "$work/windows.status" >> "$work/differences"; then
            [ "$attempt" -eq 2 ] && echo "UNSTABLE: kon2batch.exe ($label) differed once under Wine and matched when run again"
            echo "compared kon2batch $label on $(python3 -c "import csv,sys; print(sum(1 for row in csv.reader(sys.stdin) if row[0] != 'input'))" < "$work/linux.csv") inputs, one process each: all equal"
            return 0
        fi
    done
    echo "DIFFERENT: kon2batch $label:"
    head -40 "$work/differences"
    return 1
}

compare "all four outputs" && compare "--shard 2/3" --shard 2/3 --to svg --out sharded
