#!/bin/bash
# Whole-process figures: kon2x against cp of its output, scaling with the
# instance count and the number of materials, and peak memory; kon2gltf on the
# bench model and on the largest model (32767 points, faces and instances).
# Usage: bench/run.sh [RUNS]   (medians of RUNS runs, default 5)
set -euo pipefail
shopt -s inherit_errexit  # a failed run inside $(...) stops the script too
cd "$(dirname "$0")/.."
runs=${1:-5}
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKON2X_TESTS=OFF -DKON2X_BENCH=ON -DKON2X_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
kon2x=$PWD/$build/kon2x
# Into memory where possible, so that disk write-back does not blur the figures.
scratch=${TMPDIR:-$( [ -d /dev/shm ] && echo /dev/shm || echo /tmp )}
work=$(mktemp -d "$scratch/kon2x-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$build/bench/make_bench_model" "$work/bench.kon" 64 300
"$build/bench/make_bench_model" "$work/bench128.kon" 128 300
"$build/bench/make_bench_model" "$work/materials.kon" 64 32767
"$build/bench/make_bench_model" "$work/bench1024.kon" 1024 300
"$build/bench/make_bench_model" "$work/largest.kon" 32767 300

source bench/timing.sh

# median_ms OUTPUT COMMAND...: the median wall time of $runs runs, each
# writing OUTPUT afresh (removed before the run, so no run pays for emptying it).
median_ms() {
    local output=$1 times=() ms
    shift
    for ((i = 0; i < runs; i++)); do
        rm -f "$output"
        ms=$(elapsed_ms "$@")
        times+=("$ms")
    done
    rm -f "$output"
    median "${times[@]}"
}


# kon2x and cp of its output in turns, each writing a name that does not
# exist yet, so that neither pays for emptying an earlier output.
"$kon2x" "$work/bench.kon" < /dev/null > /dev/null
mv "$work/bench.x" "$work/reference.x"
convert_times=()
copy_times=()
for ((i = 0; i < runs; i++)); do
    ms=$(elapsed_ms "$kon2x" "$work/bench.kon")
    convert_times+=("$ms")
    rm "$work/bench.x"
    ms=$(elapsed_ms cp "$work/reference.x" "$work/copy.x")
    copy_times+=("$ms")
    rm "$work/copy.x"
done
convert=$(median "${convert_times[@]}")
copy=$(median "${copy_times[@]}")
echo "output of the bench model: $(($(stat -c %s "$work/reference.x") / 1000000)) MB"
echo "kon2x bench.kon:        ${convert} ms"
echo "cp of its output:       ${copy} ms   ratio $(ratio "$convert" "$copy")"

doubled=$(median_ms "$work/bench128.x" "$kon2x" "$work/bench128.kon")
echo "128 instances:          ${doubled} ms   ratio to 64: $(ratio "$doubled" "$convert")"
materials=$(median_ms "$work/materials.x" "$kon2x" "$work/materials.kon")
echo "32767 materials:        ${materials} ms   ratio to 300: $(ratio "$materials" "$convert")"

# Peak memory; the big output goes to /dev/null through a link of its name.
peak_kb() {
    local input=$1 stem=${1%.kon}
    rm -f "$stem.x"
    ln -s /dev/null "$stem.x"
    /usr/bin/time -f %M "$kon2x" "$input" 2>&1 >/dev/null < /dev/null | tail -n 1
    rm -f "$stem.x"
}
rss64=$(peak_kb "$work/bench.kon")
rss1024=$(peak_kb "$work/bench1024.kon")

# kon2gltf, and the drawing programs on the bench model's 98,000 derived lines.
for program in kon2gltf kon2svg kon2dxf; do
    extension=${program#kon2}
    [ "$extension" = gltf ] && extension=glb
    for model in bench largest; do
        time=$(median_ms "$work/$model.$extension" "$build/$program" "$work/$model.kon")
        rss=$(/usr/bin/time -f %M "$build/$program" "$work/$model.kon" 2>&1 >/dev/null < /dev/null | tail -n 1)
        echo "$program $model.kon:$(printf '%*s' $((15 - ${#program} - ${#model})) '')${time} ms," \
            "peak memory $((rss / 1024)) MiB, $(stat -c %s "$work/$model.$extension") bytes"
    done
done
echo "peak memory, 64 instances:   $((rss64 / 1024)) MiB"
echo "peak memory, 1024 instances: $((rss1024 / 1024)) MiB   ratio $(ratio "$rss1024" "$rss64")"
