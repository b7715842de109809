// The drawing's lists as the writers take them, and its extent.
#include "export/writers/drawing_plan.hpp"

#include <algorithm>
#include <cmath>

#include "export/output/drawing_text.hpp"

namespace kon2x {

namespace {

std::span<const LineRecord> drawn(const std::vector<LineRecord>& list, std::int16_t count, bool derived) {
    return derived ? std::span<const LineRecord>(list) : first_records<const LineRecord>(list, count);
}

// The plan's box of line ends grown to hold every tick end and every text's
// box, rounded outwards.
WholeBox box_with_marks(const DrawingPlan& plan) {
    WholeBox box{plan.min_x(), plan.min_y(), plan.max_x(), plan.max_y()};
    const auto hold = [&box](double low_x, double low_y, double high_x, double high_y) {
        box.min_x = std::min(box.min_x, static_cast<std::int64_t>(std::floor(low_x)));
        box.min_y = std::min(box.min_y, static_cast<std::int64_t>(std::floor(low_y)));
        box.max_x = std::max(box.max_x, static_cast<std::int64_t>(std::ceil(high_x)));
        box.max_y = std::max(box.max_y, static_cast<std::int64_t>(std::ceil(high_y)));
    };
    const double height = plan.text_height();
    for (const LineRecord& line : plan.dimension_lines()) {
        const DimensionMarks marks = dimension_marks(line, plan);
        for (const auto& tick : marks.ticks) {
            for (const PlanePoint& end : tick) {
                hold(end.x, end.y, end.x, end.y);
            }
        }
        // Set on its baseline, the text stands above its point (towards smaller y).
        const double half_width = 0.3 * height * static_cast<double>(dimension_text(line).size());
        hold(marks.text.x - half_width, marks.text.y - height, marks.text.x + half_width, marks.text.y);
    }
    return box;
}

}  // namespace

DrawingPlan::DrawingPlan(const ConstructionModel& model)
    : lines_(drawn(model.lines, model.line_count, model.lines_derived)),
      dashed_lines_(drawn(model.dashed_lines, model.dashed_line_count, model.lines_derived)),
      dimension_lines_(drawn(model.dimension_lines, model.dimension_line_count, model.lines_derived)) {
    bool first = true;
    const auto include = [&](std::int64_t x, std::int64_t y) {
        min_x_ = first ? x : std::min(min_x_, x);
        min_y_ = first ? y : std::min(min_y_, y);
        max_x_ = first ? x : std::max(max_x_, x);
        max_y_ = first ? y : std::max(max_y_, y);
        first = false;
    };
    for (const auto list : {lines_, dashed_lines_, dimension_lines_}) {
        for (const LineRecord& line : list) {
            include(line.x0, line.y0);
            include(line.x1, line.y1);
        }
    }
    extent_ = std::max<std::int64_t>({max_x_ - min_x_, max_y_ - min_y_, 1});
    drawn_box_ = box_with_marks(*this);
}

DimensionMarks dimension_marks(const LineRecord& line, const DrawingPlan& plan) {
    const PlanePoint a{static_cast<double>(line.x0), static_cast<double>(line.y0)};
    const PlanePoint b{static_cast<double>(line.x1), static_cast<double>(line.y1)};
    // Across the line, to its left as y grows downwards (above a line drawn
    // to the right); upwards for a line of no length.
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    const PlanePoint across = length > 0 ? PlanePoint{dy / length, -dx / length} : PlanePoint{0, -1};
    const double tick = plan.tick_length();
    const auto tick_at = [&](const PlanePoint& end, int side) {
        return PlanePoint{end.x + side * tick * across.x, end.y + side * tick * across.y};
    };
    const double beside = 1.5 * tick;
    return DimensionMarks{
        {{tick_at(a, -1), tick_at(a, 1)}, {tick_at(b, -1), tick_at(b, 1)}},
        {(a.x + b.x) / 2 + beside * across.x, (a.y + b.y) / 2 + beside * across.y},
    };
}

std::string dimension_text(const LineRecord& line) {
    return real_text(line.length, 2);
}

}  // namespace kon2x
