// The in-memory form of one construction file: points, faces, instances and line lists.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kon2x {

// ModelKind: 0 is converted, 1 is read but refused by the driver.
constexpr std::int32_t kKindConvertible = 0;
constexpr std::int32_t kKindOther = 1;

// The largest value of the model's 16-bit counts.
constexpr std::int32_t kMaxCount = 32767;

// Marker byte of a point that carries extra colour entries.
constexpr std::uint8_t kExtrasMarker = 0xEF;

// Both readers allocate this many constructed records beyond the counted points.
constexpr std::size_t kSparePoints = 3;

struct ExtraEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t key = 0;
};

struct PointRecord {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
    std::int32_t aux = 0;
    std::array<std::int32_t, 4> aux_values{};
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::int32_t material_vertex = 0;
    std::uint8_t marker = 0;
    float u = 0.0f;
    float v = 0.0f;
    std::int32_t texture = 0;
    std::vector<ExtraEntry> extras;
    std::int32_t extra_count = 0;  // always extras.size()

    // Sets every field to zero and empties the extras.
    void clear();
    // Appends one entry and keeps extra_count in step.
    void add_extra(const ExtraEntry& entry);
};

// An element: 1 point, 2 points, triangle, quad or polygon. Indices 0 to 3 are
// stored inline, index i >= 4 at overflow position i - 4.
struct FaceRecord {
    std::int32_t vertex_count = 0;
    std::array<std::int16_t, 4> inline_indices{};
    std::vector<std::int16_t> overflow_indices;

    // Index i, 0 <= i < vertex_count.
    std::int16_t index(std::int32_t i) const {
        return i < 4 ? inline_indices[static_cast<std::size_t>(i)]
                     : overflow_indices[static_cast<std::size_t>(i - 4)];
    }
    // Appends an index as the face's next one.
    void append_index(std::int16_t value);
    // Position of the index whose point carries the face's material: 0 for two
    // points or more than four, else the last one.
    std::int32_t material_position() const {
        return (vertex_count == 2 || vertex_count > 4) ? 0 : vertex_count - 1;
    }
};

struct InstanceRecord {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
    double rot_x = 0.0;  // degrees
    double rot_y = 0.0;
    double rot_z = 0.0;
    float scale_x = 1.0f;
    float scale_y = 1.0f;
    float scale_z = 1.0f;
};

struct LineRecord {
    std::int32_t x0 = 0;
    std::int32_t y0 = 0;
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    double length = 0.0;
};

// The first `count` records of an array: none for a count below 1, never more
// than the array holds.
template <typename Record>
std::span<Record> first_records(std::span<Record> records, std::int32_t count) {
    return records.first(std::min(static_cast<std::size_t>(std::max(count, 0)), records.size()));
}

// The model owns all its records. Arrays may hold more records than their
// counts say (the spare points, or what a failed read left behind); only the
// first count entries are valid, and the valid_* views hold exactly those.
struct ConstructionModel {
    std::int32_t kind = kKindConvertible;
    std::int16_t point_count = 0;
    std::vector<PointRecord> points;
    std::int16_t face_count = 0;
    std::vector<FaceRecord> faces;
    std::int16_t instance_count = 0;
    std::vector<InstanceRecord> instances;
    std::string source_name;  // empty while absent
    std::vector<LineRecord> dashed_lines;
    std::int16_t dashed_line_count = 0;
    std::vector<LineRecord> lines;
    std::int16_t line_count = 0;
    std::vector<LineRecord> dimension_lines;
    std::int16_t dimension_line_count = 0;
    // The line lists were derived from the faces (a text file): each array
    // holds every line derived, also beyond the 32767 its count can hold.
    bool lines_derived = false;
    std::int16_t loaded = 0;

    std::span<PointRecord> valid_points() { return first_records<PointRecord>(points, point_count); }
    std::span<const PointRecord> valid_points() const {
        return first_records<const PointRecord>(points, point_count);
    }
    std::span<FaceRecord> valid_faces() { return first_records<FaceRecord>(faces, face_count); }
    std::span<const FaceRecord> valid_faces() const {
        return first_records<const FaceRecord>(faces, face_count);
    }
    std::span<const InstanceRecord> valid_instances() const {
        return first_records<const InstanceRecord>(instances, instance_count);
    }

    // Frees points, faces and instances and zeroes their counts.
    void reset();
    // Frees everything and returns the model to its empty state.
    void release();
};

}  // namespace kon2x
