#!/bin/sh
# Tries the packages as a user would: installs the .deb, converts a copy of
# the bundled example with kon2x, kon2gltf, kon2svg and kon2dxf from the PATH
# and the examples folder with kon2batch, and removes the package again;
# unpacks the zip and does the same with its five .exe under Wine. Every
# output must have the golden bytes that the Linux build writes
# (tests/corpus/house.x, .glb, .svg and .dxf).
set -eu
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(kon2x VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
work=$(mktemp -d)
installed=no
# A failed step must not leave the package installed under /usr.
cleanup() {
    rm -rf "$work"
    if [ "$installed" = yes ]; then dpkg -r kon2x >/dev/null 2>&1 || true; fi
}
trap cleanup EXIT
export WINEDEBUG=-all

expect_golden() {  # FOLDER: the example's outputs in FOLDER against the golden files
    cmp "$1/house.x" tests/corpus/house.x
    cmp "$1/house.glb" tests/corpus/house.glb
    cmp "$1/house.svg" tests/corpus/house.svg
    cmp "$1/house.dxf" tests/corpus/house.dxf
}

echo "== the .deb, installed"
installed=yes
dpkg -i "dist/kon2x_${version}_amd64.deb" >/dev/null
dpkg-query -W -f='${Package} ${Version}\n' kon2x
for program in kon2x kon2gltf kon2svg kon2dxf kon2batch; do [ "$(command -v $program)" = /usr/bin/$program ]; done
[ -f /usr/share/doc/kon2x/README.md ] && [ -f /usr/share/doc/kon2x/examples/house.kon ] && [ -f /usr/share/kon2x/kon2x.html ]
mkdir "$work/deb"
cp examples/house.kon "$work/deb/"
(cd "$work/deb" && for program in kon2x kon2gltf kon2svg kon2dxf; do $program house.kon </dev/null; done)
expect_golden "$work/deb"
cp -r /usr/share/doc/kon2x/examples "$work/deb-batch"
(cd "$work" && kon2batch --report deb-batch.csv deb-batch </dev/null >/dev/null)
expect_golden "$work/deb-batch"
dpkg -r kon2x >/dev/null
installed=no
if dpkg-query -W kon2x >/dev/null 2>&1 && [ "$(dpkg-query -W -f='${Status}' kon2x)" != "deinstall ok config-files" ]; then
    echo "kon2x is still installed"; exit 1
fi
[ ! -e /usr/bin/kon2x ] && [ ! -e /usr/bin/kon2gltf ] && [ ! -e /usr/bin/kon2svg ] && [ ! -e /usr/bin/kon2dxf ] && [ ! -e /usr/bin/kon2batch ] && [ ! -e /usr/share/doc/kon2x ] && [ ! -e /usr/share/kon2x ]
echo "installed, converted the example, removed cleanly"

echo "== the zip, unpacked"
name=kon2x-$version-windows-x86_64
(cd "$work" && cmake -E tar xf "$OLDPWD/dist/$name.zip")
for file in kon2x.exe kon2gltf.exe kon2svg.exe kon2dxf.exe kon2batch.exe kon2x.html README.txt examples/house.kon; do
    [ -f "$work/$name/$file" ] || { echo "missing in the zip: $file"; exit 1; }
done
grep -q "$(printf 'kon2x\r$')" "$work/$name/README.txt"  # CR LF line ends
for program in kon2x kon2gltf kon2svg kon2dxf kon2batch; do  # the version resource that Explorer's Properties show
    strings -el "$work/$name/$program.exe" | grep -qx "$version" || { echo "$program.exe: no version $version"; exit 1; }
done
mkdir "$work/wine"
cp "$work/$name/examples/house.kon" "$work/wine/"
# Wine itself fails now and then on a busy machine: a conversion may run twice.
for program in kon2x kon2gltf kon2svg kon2dxf; do
    (cd "$work/wine" && { wine "$work/$name/$program.exe" house.kon </dev/null ||
        { echo "UNSTABLE: $program.exe under Wine, run again"; wine "$work/$name/$program.exe" house.kon </dev/null; }; })
done
expect_golden "$work/wine"
cp -r "$work/$name/examples" "$work/wine-batch"
(cd "$work" && { wine "$work/$name/kon2batch.exe" --report wine-batch.csv wine-batch </dev/null >/dev/null ||
    { echo "UNSTABLE: kon2batch.exe under Wine, run again"; wine "$work/$name/kon2batch.exe" --report wine-batch.csv wine-batch </dev/null >/dev/null; }; })
expect_golden "$work/wine-batch"
echo "unpacked, converted the example under Wine with the Linux build's bytes, also through kon2batch"
