#!/bin/sh
# Cross-builds kon2x.exe, kon2gltf.exe, kon2svg.exe, kon2dxf.exe and the unit tests, runs the tests under
# Wine, checks the exes' imports, then compares both with the Linux build on
# every sample input.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
export WINEDEBUG=-all

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DKON2X_TESTS=ON -DKON2X_WERROR=ON >/dev/null 2>&1
cmake --build build-windows -j "$jobs"

# The 32-bit build is a compile check only: its programs cannot run here.
cmake -S . -B build-windows-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=Release \
    -DKON2X_TESTS=OFF -DKON2X_WERROR=ON >/dev/null 2>&1
cmake --build build-windows-i686 -j "$jobs"

# The Linux side of the comparison and the sample generator.
cmake -S . -B build/release-tests -DCMAKE_BUILD_TYPE=Release -DKON2X_WERROR=ON >/dev/null
cmake --build build/release-tests -j "$jobs" --target kon2x kon2gltf kon2svg kon2dxf kon2x_sample_inputs

# One persistent Wine server for the whole run: a warm start is fast.
wineboot --init >/dev/null 2>&1 || true
wineserver -p 2>/dev/null || true  # already running is fine
trap 'wineserver -k 2>/dev/null || true' EXIT

echo "== unit tests under Wine"
ctest --test-dir build-windows --output-on-failure < /dev/null

for program in kon2x kon2gltf kon2svg kon2dxf; do
    echo "== imports of $program.exe"
    imports=$(x86_64-w64-mingw32-objdump -p build-windows/$program.exe | sed -n 's/^[[:space:]]*DLL Name: //p' | sort | tr '\n' ' ')
    echo "$imports"
    [ "$imports" = "KERNEL32.dll msvcrt.dll " ] || { echo "unexpected imports: $imports"; exit 1; }
done

echo "== Linux and Windows builds compared"
samples=build/windows-samples
rm -rf "$samples"
build/release-tests/tests/kon2x_sample_inputs "$samples" 300 7
mkdir -p "$samples/paths"
inputs="examples/*.kon tests/corpus/*.kon tests/corpus/*.bin fuzz/corpus/* $samples/sample*"
tests/compare_builds.sh windows "$PWD/build/release-tests/kon2x" "$PWD/build-windows/kon2x.exe" .x $inputs
tests/compare_builds.sh windows "$PWD/build/release-tests/kon2gltf" "$PWD/build-windows/kon2gltf.exe" .glb $inputs
# The drawings on the committed inputs only: their writers share the loader
# with the two above and print through the same libstdc++ as Linux; the
# generated files are compared in the WebAssembly comparison.
drawing_inputs="examples/*.kon tests/corpus/*.kon tests/corpus/*.bin fuzz/corpus/*"
tests/compare_builds.sh windows "$PWD/build/release-tests/kon2svg" "$PWD/build-windows/kon2svg.exe" .svg $drawing_inputs
tests/compare_builds.sh windows "$PWD/build/release-tests/kon2dxf" "$PWD/build-windows/kon2dxf.exe" .dxf $drawing_inputs
tests/windows/paths.sh "$PWD/build-windows/kon2x.exe" examples/house.kon
