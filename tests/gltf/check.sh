#!/bin/sh
# The glTF checks that need node (and Chromium), run by ctest.
#   check.sh validate KON2GLTF SAMPLE_GENERATOR: converts every corpus input,
#     the examples and 300 generated files, valid and broken, and validates
#     every .glb written with the Khronos validator.
#   check.sh render KON2GLTF: converts the bundled example and checks that
#     three.js in headless Chromium shows it upright in its colours.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
mode=$1
kon2gltf=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ ! -d "$here/node_modules/gltf-validator" ]; then
    echo "tests/gltf/node_modules is missing: run 'make test' (or npm ci in tests/gltf)" >&2
    exit 1
fi
case "$mode" in
validate)
    cp "$source_dir"/tests/corpus/*.kon "$source_dir"/tests/corpus/*.bin "$source_dir"/examples/*.kon "$work"/
    "$3" "$work" 300 7 >/dev/null
    cd "$work"
    for input in *.kon *.bin sample*; do
        [ -f "$input" ] || continue
        status=0
        "$kon2gltf" "$input" </dev/null >/dev/null 2>&1 || status=$?
        # 0: converted, 1: refused with a message; anything else is a crash.
        [ "$status" -le 1 ] || { echo "$input: kon2gltf ended with status $status" >&2; exit 1; }
    done
    count=$(ls ./*.glb | wc -l)
    echo "validating $count .glb files"
    node "$here/validate.mjs" ./*.glb > report.txt || { grep -v " 0 errors, 0 warnings" report.txt; exit 1; }
    echo "all $count valid: 0 errors, 0 warnings"
    ;;
render)
    cp "$source_dir/examples/house.kon" "$work/"
    (cd "$work" && "$kon2gltf" house.kon </dev/null)
    node "$here/render.mjs" "$work/house.glb" "$work/house.png" --house
    ;;
esac
