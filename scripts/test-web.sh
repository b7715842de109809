#!/bin/sh
# Compares kon2x.wasm and kon2gltf.wasm under node:wasi with the Linux build
# on every example, the corpus, the fuzz seeds and 300 generated files, and
# has a kon2x.wasm limited to 8 MiB run out of memory while loading.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
web=${BUILD_DIR:-build}/web

cmake -S . -B build/release-tests -DCMAKE_BUILD_TYPE=Release -DKON2X_WERROR=ON >/dev/null
cmake --build build/release-tests -j "$jobs" --target kon2x kon2gltf kon2x_sample_inputs
cmake --build "$web" -j "$jobs" --target kon2x_8mib

echo "== Linux and WebAssembly builds compared"
samples=build/web-samples
rm -rf "$samples"
build/release-tests/tests/kon2x_sample_inputs "$samples" 300 7
inputs="examples/*.kon tests/corpus/*.kon tests/corpus/*.bin fuzz/corpus/* $samples/sample*"
tests/compare_builds.sh web "$PWD/build/release-tests/kon2x" "$PWD/$web/kon2x.wasm" .x $inputs
tests/compare_builds.sh web "$PWD/build/release-tests/kon2gltf" "$PWD/$web/kon2gltf.wasm" .glb $inputs

echo "== running out of memory while loading"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# 32767 points with 60 extra colour entries each: about 8 MiB of entries.
awk 'BEGIN {
    extras = ""; for (e = 0; e < 60; e++) extras = extras ";1;2;3;4"
    print "KON;KRUV"; print "X"
    for (i = 0; i < 32767; i++) print i ";" i ";" i ";1;2;3;0;0;0" extras
    print "Flaechen"; print "0;1;2"; print "ScalX"; print "1;1;1;0;0;0;0;0;0"
}' > "$work/big.kon"
status=0
(cd "$work" && printf '\n\n' | node --no-warnings "$OLDPWD/tests/web/run_wasi.mjs" "$OLDPWD/$web/kon2x_8mib.wasm" big.kon \
    > out 2> err) || status=$?
printf 'Zu wenig Speicher!\nReturn->--> ' > "$work/expected.out"
printf 'big.kon ist fehlerhaft\n' > "$work/expected.err"
if [ "$status" -ne 1 ] || ! cmp -s "$work/out" "$work/expected.out" || ! cmp -s "$work/err" "$work/expected.err" ||
    [ -e "$work/big.x" ]; then
    echo "running out of memory: status $status, output:"; od -c "$work/out" | head; od -c "$work/err" | head
    exit 1
fi
echo "Zu wenig Speicher!, then big.kon ist fehlerhaft, status 1"
