#!/bin/sh
# Compares the programs of kon2.wasm, run over the page's own WASI layer,
# with the Linux build on every example, the corpus, the fuzz seeds and past
# findings and 300 generated files (tests/web/compare_wasi.mjs, one node
# process; libFuzzer has no WebAssembly runtime), and has
# node's own WASI convert the example.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
web=${BUILD_DIR:-build}/web

cmake --build "$web" -j "$jobs" --target kon2_8mib

echo "== Linux and WebAssembly builds compared"
samples=build/web-samples
rm -rf "$samples"
build/release-tests/tests/kon2x_sample_inputs "$samples" 300 7
node tests/web/compare_wasi.mjs build/release-tests "$web" examples/*.kon tests/corpus/*.kon tests/corpus/*.bin \
    fuzz/corpus/* $(find tests/fuzz_findings -type f ! -name .keep) "$samples"/sample*

echo "== node's own WASI runs the example"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/house.kon "$work/"
(cd "$work" && node --no-warnings "$OLDPWD/scripts/run_wasi.mjs" "$OLDPWD/$web/kon2.wasm" kon2x house.kon < /dev/null)
cmp "$work/house.x" tests/corpus/house.x && echo "house.x as the Linux build writes it"
