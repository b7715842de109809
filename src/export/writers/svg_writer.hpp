// The drawing as SVG 1.1.
#pragma once

#include "export/output/output_buffer.hpp"
#include "export/writers/drawing_plan.hpp"

namespace kon2x {

// Writes the drawing: one user unit per unit of the file, y downwards as the
// file has it (the model's up is -y, so the drawing reads upright), a
// viewBox round every line with a margin. One group per list, by id: "lines"
// solid, "dashed-lines" dashed, "dimension-lines" with a tick across each end
// and the stored length beside the middle. Strokes, dashes, ticks and texts
// are shares of the drawing's extent. Lines end with CR LF.
void write_svg(const DrawingPlan& plan, OutputBuffer& out);

}  // namespace kon2x
