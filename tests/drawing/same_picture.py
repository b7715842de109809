"""Reads each DXF with ezdxf (Debian's python3-ezdxf) and checks it against
the SVG of the same name: no audit error, version AC1009, and per list the
same number of lines (a dimension line is its line and two ticks, and one
text). Usage: same_picture.py FILE.dxf..."""
import sys
import xml.etree.ElementTree as ElementTree
from collections import Counter

from ezdxf import recover

SVG = "{http://www.w3.org/2000/svg}"


def svg_counts(path):
    groups = {g.get("id"): g for g in ElementTree.parse(path).getroot().iter(SVG + "g") if g.get("id")}
    dimensions = len(groups["dimension-lines"].findall(f".//{SVG}text"))
    return Counter({("LINE", "LINES"): len(groups["lines"].findall(SVG + "line")),
                    ("LINE", "DASHED_LINES"): len(groups["dashed-lines"].findall(SVG + "line")),
                    ("LINE", "DIMENSION_LINES"): 3 * dimensions,
                    ("TEXT", "DIMENSION_LINES"): dimensions})


def main():
    failures = 0
    for path in sys.argv[1:]:
        document, auditor = recover.readfile(path)
        found = Counter((entity.dxftype(), entity.dxf.layer) for entity in document.modelspace())
        expected = svg_counts(path[:-4] + ".svg")
        problems = [error.message for error in auditor.errors]
        if document.dxfversion != "AC1009":
            problems.append("version " + document.dxfversion)
        if +found != +expected:
            problems.append(f"entities {dict(found)}, the SVG has {dict(expected)}")
        if problems:
            failures += 1
            print(f"{path}: {'; '.join(problems)}")
    print(f"ezdxf read {len(sys.argv) - 1} DXF files: {len(sys.argv) - 1 - failures} as their SVG, {failures} not")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
