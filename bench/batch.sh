#!/bin/bash
# kon2batch against one process per file, --jobs 2 against --jobs 1, the bench
# model through kon2batch against kon2x, and peak memory by the number of inputs.
# Usage: bench/batch.sh [RUNS]   (medians of RUNS runs, default 5; the ways
# compared take turns within each run)
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
runs=${1:-5}
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKON2X_TESTS=OFF -DKON2X_BENCH=ON -DKON2X_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
bin=$PWD/$build
scratch=${TMPDIR:-$( [ -d /dev/shm ] && echo /dev/shm || echo /tmp )}
work=$(mktemp -d "$scratch/kon2batch-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# tree FOLDER COUNT SOURCE: COUNT copies of SOURCE, 100 to a folder.
tree() {
    local i
    for ((i = 0; i < $2; i++)); do
        mkdir -p "$1/$((i / 100))"
        cp "$3" "$1/$((i / 100))/m$i.${3##*.}"
    done
}
# clean FOLDER: the outputs of a run removed.
clean() { find "$1" -name '*.glb' -o -name '*.x' -o -name '*.svg' -o -name '*.dxf' | xargs -r rm -f; }

source bench/timing.sh
rate() { awk -v n="$1" -v ms="$2" 'BEGIN { printf "%.0f", n * 1000 / ms }'; }

loop() { for f in $(find "$1" -name '*.kon'); do "$bin/kon2gltf" "$f" < /dev/null; done; }
parallel() { find "$1" -name '*.kon' -print0 | xargs -0 -P 2 -n 1 "$bin/kon2gltf"; }  # xargs gives each /dev/null as its input

tree "$work/small" 10000 examples/house.kon
batch=() xargs=() shell=()
for ((r = 0; r < runs; r++)); do
    clean "$work/small"; batch+=("$(elapsed_ms "$bin/kon2batch" --to glb "$work/small")")
    clean "$work/small"; xargs+=("$(elapsed_ms parallel "$work/small")")
    clean "$work/small"; shell+=("$(elapsed_ms loop "$work/small")")
done
b=$(median "${batch[@]}") x=$(median "${xargs[@]}") s=$(median "${shell[@]}")
echo "10,000 files like house.kon, .glb: kon2batch $b ms ($(rate 10000 "$b") files/s)," \
    "xargs -P 2 kon2gltf $x ms ($(rate 10000 "$x") files/s, $(ratio "$x" "$b") x the time)," \
    "shell loop $s ms ($(rate 10000 "$s") files/s)"

"$bin/bench/make_bench_model" "$work/medium.kon" 1 300
tree "$work/medium" 200 "$work/medium.kon"
one=() two=()
for ((r = 0; r < runs; r++)); do
    clean "$work/medium"; one+=("$(elapsed_ms "$bin/kon2batch" --jobs 1 --to x,glb "$work/medium")")
    clean "$work/medium"; two+=("$(elapsed_ms "$bin/kon2batch" --jobs 2 --to x,glb "$work/medium")")
done
clean "$work/medium"
o=$(median "${one[@]}") t=$(median "${two[@]}")
echo "200 files of 32767 points and triangles, .x and .glb: --jobs 1 $o ms, --jobs 2 $t ms" \
    "($(ratio "$o" "$t") x the rate)"

"$bin/bench/make_bench_model" "$work/bench.kon" 64 300
single=() through=()
for ((r = 0; r < runs; r++)); do
    rm -f "$work/bench.x"; single+=("$(elapsed_ms "$bin/kon2x" "$work/bench.kon")")
    rm -f "$work/bench.x"; through+=("$(elapsed_ms "$bin/kon2batch" --to x "$work/bench.kon")")
done
k=$(median "${single[@]}") t=$(median "${through[@]}")
echo "the bench model, .x (210 MB): kon2x $k ms, kon2batch $t ms ($(ratio "$t" "$k") x)"

tree "$work/thousand" 1000 examples/house.kon
peak() { clean "$1"; /usr/bin/time -f %M "$bin/kon2batch" --to glb "$1" 2>&1 >/dev/null < /dev/null | tail -n 1; }
p1=$(peak "$work/thousand") p10=$(peak "$work/small")
echo "peak memory, --to glb: 1,000 files $((p1 / 1024)) MiB, 10,000 files $((p10 / 1024)) MiB" \
    "($(((p10 - p1) / 1024)) MiB more)"
