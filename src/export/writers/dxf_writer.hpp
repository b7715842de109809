// The drawing as ASCII DXF R12 (AC1009), which every CAD program reads.
#pragma once

#include "export/output/output_buffer.hpp"
#include "export/writers/drawing_plan.hpp"

namespace kon2x {

// Writes the same picture as the SVG: y is negated, since DXF's y points up.
// The lists go to the layers LINES, DASHED_LINES (line type DASHED, defined
// in the file at a share of the drawing's extent) and DIMENSION_LINES (each
// with its end ticks and its stored length as a TEXT entity: an R12
// DIMENSION would show the distance the reader measures instead). R12 names
// no unit: the numbers are the file's units. Lines end with CR LF.
void write_dxf(const DrawingPlan& plan, OutputBuffer& out);

}  // namespace kon2x
