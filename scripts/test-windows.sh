#!/bin/sh
# Cross-builds kon2x.exe, kon2gltf.exe, kon2svg.exe, kon2dxf.exe and the unit
# tests, runs the tests under Wine, checks the exes' imports, then compares
# each program with the Linux build on the committed and generated inputs.
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
cmake --build build/release-tests -j "$jobs" --target kon2x kon2gltf kon2svg kon2dxf kon2x_sample_inputs \
    kon2x_batch_convert kon2batch

# One persistent Wine server for the whole run: a warm start is fast.
wineboot --init >/dev/null 2>&1 || true
wineserver -p 2>/dev/null || true  # already running is fine
trap 'wineserver -k 2>/dev/null || true' EXIT

echo "== unit tests under Wine"
ctest --test-dir build-windows --output-on-failure < /dev/null

for program in kon2x kon2gltf kon2svg kon2dxf kon2batch; do
    echo "== imports of $program.exe"
    imports=$(x86_64-w64-mingw32-objdump -p build-windows/$program.exe | sed -n 's/^[[:space:]]*DLL Name: //p' | sort | tr '\n' ' ')
    echo "$imports"
    expected="KERNEL32.dll msvcrt.dll "
    [ $program = kon2batch ] && expected="KERNEL32.dll SHELL32.dll msvcrt.dll "  # the wide command line
    [ "$imports" = "$expected" ] || { echo "unexpected imports: $imports"; exit 1; }
done

echo "== Linux and Windows builds compared"
samples=build/windows-samples
rm -rf "$samples"
build/release-tests/tests/kon2x_sample_inputs "$samples" 300 7
mkdir -p "$samples/paths"
# The programs as started, one Wine start per run, on the example, a file
# with a reader's message and one with a note, and the command line's cases;
# all four converters in one process per side on the corpus, the fuzz seeds
# and the generated files.
started_inputs="examples/*.kon tests/corpus/bad-point-line.kon tests/corpus/unplaceable-instances.kon"
batch_inputs="tests/corpus/*.kon tests/corpus/*.bin fuzz/corpus/* $samples/sample*"
for converter in kon2x:.x kon2gltf:.glb kon2svg:.svg kon2dxf:.dxf; do
    program=${converter%%:*}
    extension=${converter#*:}
    tests/compare_builds.sh windows "$PWD/build/release-tests/$program" "$PWD/build-windows/$program.exe" $extension $started_inputs
    tests/windows/compare_batch.sh "$PWD/build/release-tests/tests/kon2x_batch_convert" \
        "$PWD/build-windows/tests/kon2x_batch_convert.exe" $program $batch_inputs
done
tests/windows/compare_kon2batch.sh "$PWD/build/release-tests/kon2batch" "$PWD/build-windows/kon2batch.exe" \
    "$PWD/build/release-tests/tests/kon2x_sample_inputs" tests/corpus/*.kon tests/corpus/*.bin
tests/windows/paths.sh "$PWD/build-windows/kon2x.exe" examples/house.kon
