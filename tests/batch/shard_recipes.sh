#!/bin/bash
# The README's recipes for spreading an archive over a scheduler's array job,
# with the index variable each scheduler sets simulated one slice after the
# other: the slices' concatenated report holds every input of one whole run
# once, under one header.
# Usage: shard_recipes.sh KON2BATCH FOLDER
set -eu
kon2batch=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$2" "$work/archive"
cd "$work"
# The corpus holds broken files: status 1 is a run that went through.
went_through() { local status=$?; [ $status -le 1 ] || { echo "a slice ended with status $status"; exit 1; }; }
inputs() { python3 -c 'import csv, sys; print("\n".join(sorted(row[0] for row in csv.reader(sys.stdin))))'; }
"$kon2batch" --to svg --out whole --report whole.csv archive < /dev/null > /dev/null || went_through
expected=$(inputs < whole.csv)

for SLURM_ARRAY_TASK_ID in 1 2 3; do
    "$kon2batch" --update --shard "$SLURM_ARRAY_TASK_ID/3" --report "report-$SLURM_ARRAY_TASK_ID.csv" archive < /dev/null > /dev/null || went_through
done
cat report-{1..3}.csv > slurm.csv
for JOB_COMPLETION_INDEX in 0 1 2; do
    export JOB_COMPLETION_INDEX KON2BATCH=$kon2batch
    sh -c '"$KON2BATCH" --update --shard "$((JOB_COMPLETION_INDEX + 1))/3" --report "report-$((JOB_COMPLETION_INDEX + 1)).csv" archive' < /dev/null > /dev/null || went_through
done
cat report-{1..3}.csv > kubernetes.csv
for slice in 1 2 3; do  # what GNU parallel runs for each of ::: 1 2 3
    "$kon2batch" --update --shard $slice/3 --report report-$slice.csv archive < /dev/null > /dev/null || went_through
done
cat report-{1..3}.csv > parallel.csv

for recipe in slurm kubernetes parallel; do
    [ "$(grep -c '^input,outcome,' $recipe.csv)" = 1 ] || { echo "$recipe: not one header"; exit 1; }
    [ "$(inputs < $recipe.csv)" = "$expected" ] || { echo "$recipe: not the inputs of one run, each once"; exit 1; }
    echo "$recipe: $(($(inputs < $recipe.csv | wc -l) - 1)) inputs in 3 slices, each once"
done
