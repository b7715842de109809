#!/bin/sh
# The drawings read back by other programs, run by ctest:
#   check.sh KON2SVG KON2DXF SAMPLE_GENERATOR
# Converts every corpus input, the examples and 100 generated files, valid and
# broken (no conversion may crash); rsvg-convert must render every SVG;
# ezdxf must read every DXF without an audit error, with the same lines on
# each layer as the SVG has in the group of that list (same_picture.py); and
# LibreCAD must print the committed drawings of tests/corpus to PDF.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for tool in rsvg-convert librecad /usr/bin/python3; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: run 'make test', which installs it" >&2; exit 1; }
done
cp "$source_dir"/tests/corpus/*.kon "$source_dir"/tests/corpus/*.bin "$source_dir"/examples/*.kon "$work"/
"$3" "$work" 100 7 >/dev/null
cd "$work"
for input in *.kon *.bin sample*; do
    for program in "$1" "$2"; do
        status=0
        "$program" "$input" </dev/null >/dev/null 2>&1 || status=$?
        [ "$status" -le 1 ] || { echo "$input: $program ended with status $status" >&2; exit 1; }
    done
done
# (Pango warns of the huge fonts of huge drawings; the render still works.)
render() { rsvg-convert -w 200 "$1" -o "$1.png" 2>"$1.log" || { grep -v Pango "$1.log" | grep . >&2; return 1; }; }
for svg in *.svg; do
    render "$svg" || { echo "$svg: rsvg-convert cannot render it" >&2; exit 1; }
done
echo "rsvg-convert rendered $(ls ./*.svg | wc -l) SVG files"
/usr/bin/python3 "$here/same_picture.py" ./*.dxf
mkdir librecad
cp "$source_dir"/tests/corpus/*.dxf librecad/
cd librecad
QT_QPA_PLATFORM=offscreen librecad dxf2pdf -a ./*.dxf >/dev/null 2>&1
for dxf in *.dxf; do
    [ -s "${dxf%.dxf}.pdf" ] || { echo "$dxf: LibreCAD printed nothing" >&2; exit 1; }
done
echo "LibreCAD printed $(ls ./*.dxf | wc -l) committed drawings"
