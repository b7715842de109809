#!/bin/bash
# The page's figures (bench/page.mjs) on the example, the bench model, the
# largest model, the office block on a grid of 180 by 180, a model whose .x
# is streamed (160 instances, over the page's in-memory limit), and a batch
# of 300 files. Usage: bench/page.sh [BUILD_DIR]   (default build,
# where make web has put web/kon2x.html and web/kon2.wasm)
set -euo pipefail
cd "$(dirname "$0")/.."
page=${1:-build}/web/kon2x.html
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKON2X_TESTS=OFF -DKON2X_BENCH=ON -DKON2X_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target make_bench_model >/dev/null
scratch=${TMPDIR:-$( [ -d /dev/shm ] && echo /dev/shm || echo /tmp )}
work=$(mktemp -d "$scratch/kon2x-page-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/bench/make_bench_model" "$work/bench.kon" 64 300
"$build/bench/make_bench_model" "$work/largest.kon" 32767 300
"$build/bench/make_bench_model" "$work/streamed.kon" 160 300
"$build/bench/make_bench_model" --building "$work/town.kon"
# A batch of 300: a model of 32767 points and triangles 240 times, and 60
# copies cut short at different lengths, which its reader refuses.
"$build/bench/make_bench_model" "$work/medium.kon" 1 300
mkdir "$work/batch"
size=$(stat -c %s "$work/medium.kon")
for ((i = 0; i < 300; i++)); do
    if ((i % 5 == 4)); then head -c $((size * (i + 1) / 301)) "$work/medium.kon" > "$work/batch/m$i.kon"; else cp "$work/medium.kon" "$work/batch/m$i.kon"; fi
done
node bench/page.mjs "$page" examples/house.kon "$work/bench.kon" "$work/largest.kon" "$work/town.kon" "$work/streamed.kon" --batch "$work/batch"
