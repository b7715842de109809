// The DXF writer.
#include "export/writers/dxf_writer.hpp"

#include <string>
#include <string_view>

#include "export/output/drawing_text.hpp"

namespace kon2x {

namespace {

constexpr const char* kLinesLayer = "LINES";
constexpr const char* kDashedLayer = "DASHED_LINES";
constexpr const char* kDimensionLayer = "DIMENSION_LINES";

// One group: its code right-aligned in three places, then its value.
std::string group(int code, std::string_view value) {
    return joined(code < 10 ? "  " : code < 100 ? " " : "", integer_text(code), "\r\n", value, "\r\n");
}

std::string real(double value) {
    return real_text(value, 3);
}

// A point: x with `code`, y with code + 10, z (0) with code + 20; y negated.
std::string point(int code, const PlanePoint& at) {
    return joined(group(code, real(at.x)), group(code + 10, real(-at.y)), group(code + 20, "0"));
}
std::string point(int code, std::int64_t x, std::int64_t y) {
    return joined(group(code, integer_text(x)), group(code + 10, integer_text(-y)), group(code + 20, "0"));
}

std::string table(const char* name, int entries, const std::string& body) {
    return group(0, "TABLE") + group(2, name) + group(70, integer_text(entries)) + body + group(0, "ENDTAB");
}

std::string tables(const DrawingPlan& plan) {
    const double dash = plan.dash_length();
    const double gap = plan.dash_gap();
    const std::string line_types =
        group(0, "LTYPE") + group(2, "CONTINUOUS") + group(70, "0") + group(3, "Solid line") +
        group(72, "65") + group(73, "0") + group(40, "0") + group(0, "LTYPE") + group(2, "DASHED") +
        group(70, "0") + group(3, "Dashed __ __ __") + group(72, "65") + group(73, "2") +
        group(40, real(dash + gap)) + group(49, real(dash)) + group(49, real(-gap));
    const auto layer = [](const char* name, const char* colour, const char* line_type) {
        return group(0, "LAYER") + group(2, name) + group(70, "0") + group(62, colour) + group(6, line_type);
    };
    const std::string layers = layer("0", "7", "CONTINUOUS") + layer(kLinesLayer, "7", "CONTINUOUS") +
                               layer(kDashedLayer, "7", "DASHED") + layer(kDimensionLayer, "5", "CONTINUOUS");
    const std::string styles = group(0, "STYLE") + group(2, "STANDARD") + group(70, "0") + group(40, "0") +
                               group(41, "1") + group(50, "0") + group(71, "0") + group(42, "1") +
                               group(3, "txt") + group(4, "");
    return group(0, "SECTION") + group(2, "TABLES") + table("LTYPE", 2, line_types) +
           table("LAYER", 4, layers) + table("STYLE", 1, styles) + group(0, "ENDSEC");
}

void write_lines(std::span<const LineRecord> lines, const char* layer, OutputBuffer& out) {
    for (const LineRecord& line : lines) {
        out.write(group(0, "LINE") + group(8, layer) + point(10, line.x0, line.y0) +
                  point(11, line.x1, line.y1));
    }
}

void write_dimension_lines(const DrawingPlan& plan, OutputBuffer& out) {
    for (const LineRecord& line : plan.dimension_lines()) {
        const DimensionMarks marks = dimension_marks(line, plan);
        write_lines({&line, 1}, kDimensionLayer, out);
        for (const auto& tick : marks.ticks) {
            out.write(group(0, "LINE") + group(8, kDimensionLayer) + point(10, tick[0]) + point(11, tick[1]));
        }
        out.write(group(0, "TEXT") + group(8, kDimensionLayer) + point(10, marks.text) +
                  group(40, real(plan.text_height())) + group(1, dimension_text(line)) + group(72, "1") +
                  point(11, marks.text));
    }
}

}  // namespace

void write_dxf(const DrawingPlan& plan, OutputBuffer& out) {
    const WholeBox& box = plan.drawn_box();
    out.write(group(0, "SECTION") + group(2, "HEADER") + group(9, "$ACADVER") + group(1, "AC1009") +
              group(9, "$EXTMIN") + point(10, box.min_x, box.max_y) + group(9, "$EXTMAX") +
              point(10, box.max_x, box.min_y) + group(0, "ENDSEC"));
    out.write(tables(plan));
    out.write(group(0, "SECTION") + group(2, "ENTITIES"));
    write_lines(plan.lines(), kLinesLayer, out);
    write_lines(plan.dashed_lines(), kDashedLayer, out);
    write_dimension_lines(plan, out);
    out.write(group(0, "ENDSEC") + group(0, "EOF"));
}

}  // namespace kon2x
