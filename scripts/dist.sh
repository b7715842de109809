#!/bin/sh
# Writes the packages users install, named with the project's version:
#   dist/kon2x-VERSION-windows-x86_64.zip  kon2x.exe, kon2gltf.exe, kon2svg.exe, kon2dxf.exe, kon2batch.exe, kon2x.html,
#                                          README.txt (CR LF), the examples
#   dist/kon2x_VERSION_amd64.deb           /usr/bin/kon2x, kon2gltf, kon2svg, kon2dxf, kon2batch,
#                                          /usr/share/kon2x/kon2x.html, README
#                                          and examples in /usr/share/doc/kon2x
# The page comes from make web (build/web/kon2x.html).
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
version=$(sed -n 's/^project(kon2x VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mkdir -p dist

echo "== dist/kon2x_${version}_amd64.deb"
page=$PWD/build/web/kon2x.html
cmake -S . -B build/dist -DCMAKE_BUILD_TYPE=Release -DKON2X_TESTS=OFF -DKON2X_WERROR=ON -DKON2X_PAGE="$page" >/dev/null
cmake --build build/dist -j "$jobs" --target kon2x kon2gltf kon2svg kon2dxf kon2batch
(cd build/dist && cpack -G DEB -B "$PWD/packages" >/dev/null)
cp "build/dist/packages/kon2x_${version}_amd64.deb" dist/

name=kon2x-$version-windows-x86_64
echo "== dist/$name.zip"
cmake -S . -B build/dist-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DKON2X_TESTS=OFF -DKON2X_WERROR=ON >/dev/null
cmake --build build/dist-windows -j "$jobs" --target kon2x kon2gltf kon2svg kon2dxf kon2batch
stage=build/dist-windows/stage
rm -rf "$stage"
mkdir -p "$stage/$name/examples" "$stage/$name/docs"
for program in kon2x kon2gltf kon2svg kon2dxf kon2batch; do cp "build/dist-windows/$program.exe" "$stage/$name/"; done
cp "$page" "$stage/$name/"
sed 's/$/\r/' README.md > "$stage/$name/README.txt"
cp examples/*.kon "$stage/$name/examples/"
cp docs/house.png docs/page.png "$stage/$name/docs/"
rm -f "dist/$name.zip"
(cd "$stage" && cmake -E tar cf "../../../dist/$name.zip" --format=zip "$name")
ls -l dist
