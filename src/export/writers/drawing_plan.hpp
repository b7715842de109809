// What both drawing writers draw of a model, worked out once: its three line
// lists, their extent, and the sizes of strokes, dashes, ticks and texts.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/construction_model.hpp"

namespace kon2x {

// A line's two ends in double precision, for what the writers compute.
struct PlanePoint {
    double x;
    double y;
};

// A box in whole units.
struct WholeBox {
    std::int64_t min_x;
    std::int64_t min_y;
    std::int64_t max_x;
    std::int64_t max_y;
};

// The drawing of a loaded model in the file's axes (x to the right, y as the
// file has it): the lines, the dashed lines and the dimension lines. An
// archive's lists are their valid entries (none for a count that reads as
// negative); lists derived from a text file's faces are taken whole, also
// beyond the 32767 that their counts hold. It refers to the model's records,
// so the model must outlive it.
class DrawingPlan {
public:
    explicit DrawingPlan(const ConstructionModel& model);

    std::span<const LineRecord> lines() const { return lines_; }
    std::span<const LineRecord> dashed_lines() const { return dashed_lines_; }
    std::span<const LineRecord> dimension_lines() const { return dimension_lines_; }

    // The box of every line end; 0, 0, 0, 0 for an empty drawing.
    std::int64_t min_x() const { return min_x_; }
    std::int64_t min_y() const { return min_y_; }
    std::int64_t max_x() const { return max_x_; }
    std::int64_t max_y() const { return max_y_; }
    // The sizes below are shares of the extent, the box's larger side (at least 1).
    // The free border around the box: a twentieth of the extent, rounded up.
    std::int64_t margin() const { return (extent_ + 19) / 20; }
    double stroke_width() const { return static_cast<double>(extent_) / 500; }
    double dash_length() const { return static_cast<double>(extent_) / 100; }
    double dash_gap() const { return static_cast<double>(extent_) / 200; }
    // Half the length of a dimension line's end tick.
    double tick_length() const { return static_cast<double>(extent_) / 150; }
    double text_height() const { return static_cast<double>(extent_) / 60; }

    // The box of everything drawn, rounded outwards to whole units: every
    // line end, every tick end and every length text's box. A text's box is
    // its height by 0.6 times its height per character, centred on the text's
    // point and standing on it. Readers that zoom to the extents show it all.
    const WholeBox& drawn_box() const { return drawn_box_; }

private:
    std::span<const LineRecord> lines_;
    std::span<const LineRecord> dashed_lines_;
    std::span<const LineRecord> dimension_lines_;
    std::int64_t min_x_ = 0;
    std::int64_t min_y_ = 0;
    std::int64_t max_x_ = 0;
    std::int64_t max_y_ = 0;
    std::int64_t extent_ = 1;
    WholeBox drawn_box_{};
};

// The marks of a dimension line, in the file's axes: a tick across each end
// and the point where its length is written, beside its middle.
struct DimensionMarks {
    PlanePoint ticks[2][2];
    PlanePoint text;
};
DimensionMarks dimension_marks(const LineRecord& line, const DrawingPlan& plan);

// The length a dimension line is labelled with, to two places.
std::string dimension_text(const LineRecord& line);

}  // namespace kon2x
