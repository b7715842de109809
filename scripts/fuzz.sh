#!/bin/sh
# Builds the libFuzzer targets with Clang and runs each for FUZZ_SECONDS seconds.
# New inputs go to build/fuzz/corpus-<target>; the seeds in fuzz/corpus stay untouched.
# A finding is left in build/fuzz/findings-<target>/ and fails the run.
set -eu
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
targets="${FUZZ_TARGETS:-fuzz_loader fuzz_text_reader fuzz_archive_reader fuzz_convert}"
build=build/fuzz

# Decimals are converted with strtod, the way of the WebAssembly build; the
# tests replay the seeds and findings with std::from_chars as well. The
# targets are optimised (-O1, set with KON2X_FUZZ) and keep their assertions.
CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKON2X_FUZZ=ON -DKON2X_TESTS=OFF -DKON2X_WERROR=ON \
    -DKON2X_FROM_CHARS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

# fuzz TARGET: one target's run; its exit status lands in its .status file.
fuzz() {
    mkdir -p "$build/corpus-$1" "$build/findings-$1"
    status=0
    "$build/fuzz/$1" -max_total_time="$seconds" -dict=fuzz/kon2x.dict -print_final_stats=1 \
        -artifact_prefix="$build/findings-$1/" -close_fd_mask=3 \
        "$build/corpus-$1" fuzz/corpus tests/fuzz_findings >"$build/$1.log" 2>&1 || status=$?
    echo "$status" >"$build/$1.status"
}

# As many targets at a time as there are cores, each for the full time.
cores=$(nproc)
running=0
for target in $targets; do
    echo "== $target for ${seconds}s"
    fuzz "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$cores" ]; then
        wait
        running=0
    fi
done
wait

failed=0
echo "== Inputs run"
for target in $targets; do
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$target.log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$build/$target.log")
    echo "$target: ${runs:-?} inputs in ${seconds} s, ${rate:-?} a second"
done
for target in $targets; do
    grep -E "ERROR|SUMMARY|artifact" "$build/$target.log" || true
    status=$(cat "$build/$target.status")
    if [ "$status" -ne 0 ]; then
        echo "$target failed with status $status; see $build/$target.log"
        failed=1
    fi
done
exit "$failed"
