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
# tests replay the seeds and findings with std::from_chars as well.
CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKON2X_FUZZ=ON -DKON2X_TESTS=OFF -DKON2X_WERROR=ON \
    -DKON2X_FROM_CHARS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

failed=0
for target in $targets; do
    mkdir -p "$build/corpus-$target" "$build/findings-$target"
    echo "== $target for ${seconds}s"
    status=0
    "$build/fuzz/$target" -max_total_time="$seconds" -dict=fuzz/kon2x.dict -print_final_stats=1 \
        -artifact_prefix="$build/findings-$target/" -close_fd_mask=3 \
        "$build/corpus-$target" fuzz/corpus tests/fuzz_findings >"$build/$target.log" 2>&1 || status=$?
    grep -E "DONE|stat::|ERROR|SUMMARY|artifact" "$build/$target.log" || true
    if [ "$status" -ne 0 ]; then
        echo "$target failed with status $status; see $build/$target.log"
        failed=1
    fi
done
exit "$failed"
