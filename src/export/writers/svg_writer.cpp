// The SVG writer.
#include "export/writers/svg_writer.hpp"

#include <algorithm>
#include <string>

#include "export/output/drawing_text.hpp"

namespace kon2x {

namespace {

constexpr const char* kInk = "#000000";
constexpr const char* kDimensionInk = "#0050a0";
constexpr int kFontSize = 10;

std::string real(double value) {
    return real_text(value, 3);
}

std::string line_element(const LineRecord& line) {
    return joined("<line x1=\"", integer_text(line.x0), "\" y1=\"", integer_text(line.y0), "\" x2=\"",
                  integer_text(line.x1), "\" y2=\"", integer_text(line.y1), "\"/>\r\n");
}

void write_lines(std::span<const LineRecord> lines, OutputBuffer& out) {
    for (const LineRecord& line : lines) {
        out.write(line_element(line));
    }
}

std::string move_and_line(const PlanePoint (&tick)[2]) {
    return joined("M", real(tick[0].x), " ", real(tick[0].y), "L", real(tick[1].x), " ", real(tick[1].y));
}

// The lines with their ticks in one group, their lengths in another: the
// texts are filled, not stroked.
void write_dimension_lines(const DrawingPlan& plan, OutputBuffer& out) {
    out.write(joined("<g id=\"dimension-lines\">\r\n<g stroke=\"", kDimensionInk, "\" stroke-width=\"",
                     real(plan.stroke_width()), "\" fill=\"none\">\r\n"));
    for (const LineRecord& line : plan.dimension_lines()) {
        const DimensionMarks marks = dimension_marks(line, plan);
        out.write(line_element(line));
        out.write(
            joined("<path d=\"", move_and_line(marks.ticks[0]), move_and_line(marks.ticks[1]), "\"/>\r\n"));
    }
    // The texts are set at a font size of 10 and scaled to their height:
    // renderers lay text out in integer units (Pango's 1/1024), which a
    // font size of millions, as a huge drawing's would be, overflows.
    out.write(joined("</g>\r\n<g fill=\"", kDimensionInk, "\" font-family=\"sans-serif\" font-size=\"",
                     integer_text(kFontSize), "\" text-anchor=\"middle\">\r\n"));
    const std::string scale = real_text(plan.text_height() / kFontSize, 6);
    for (const LineRecord& line : plan.dimension_lines()) {
        const PlanePoint at = dimension_marks(line, plan).text;
        out.write(joined("<text transform=\"translate(", real(at.x), " ", real(at.y), ") scale(", scale,
                         ")\">", dimension_text(line), "</text>\r\n"));
    }
    out.write("</g>\r\n</g>\r\n");
}

// The lines' box with a margin around it, grown where a tick or a text
// reaches beyond the margin.
WholeBox view_box(const DrawingPlan& plan) {
    const std::int64_t margin = plan.margin();
    const WholeBox& drawn = plan.drawn_box();
    return {std::min(plan.min_x() - margin, drawn.min_x), std::min(plan.min_y() - margin, drawn.min_y),
            std::max(plan.max_x() + margin, drawn.max_x), std::max(plan.max_y() + margin, drawn.max_y)};
}

}  // namespace

void write_svg(const DrawingPlan& plan, OutputBuffer& out) {
    const WholeBox view = view_box(plan);
    out.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    out.write(joined("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"", integer_text(view.min_x), " ",
                     integer_text(view.min_y), " ", integer_text(view.max_x - view.min_x), " ",
                     integer_text(view.max_y - view.min_y), "\">\r\n"));
    const std::string stroke =
        joined("stroke=\"", kInk, "\" stroke-width=\"", real(plan.stroke_width()), "\" fill=\"none\"");
    out.write(joined("<g id=\"lines\" ", stroke, " stroke-linecap=\"round\">\r\n"));
    write_lines(plan.lines(), out);
    out.write(joined("</g>\r\n<g id=\"dashed-lines\" ", stroke, " stroke-dasharray=\"",
                     real(plan.dash_length()), " ", real(plan.dash_gap()), "\">\r\n"));
    write_lines(plan.dashed_lines(), out);
    out.write("</g>\r\n");
    write_dimension_lines(plan, out);
    out.write("</svg>\r\n");
}

}  // namespace kon2x
