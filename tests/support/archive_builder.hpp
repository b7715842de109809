// Writes binary construction archives from a description, computing the class
// tags itself, so tests state intent rather than bytes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/construction_model.hpp"

namespace kon2x::test {

struct ArchivePoint {
    std::int32_t x = 0, y = 0, z = 0;
    std::uint8_t red = 0, green = 0, blue = 0;
    std::int32_t texture = 0;
    float u = 0, v = 0;
    std::uint8_t marker = 0;
    std::vector<ExtraEntry> extras;  // written only in kind-1 archives with the marker 0xEF
    std::uint8_t fifth_byte = 0;     // of every extra entry
    std::int32_t aux = 0;
};

ArchivePoint archive_point(int x, int y, int z, int red = 0, int green = 0, int blue = 0, int texture = 0,
                           float u = 0, float v = 0);

// The elements, group by group, as the face-index stream holds them.
struct FaceGroups {
    std::vector<int> singles;
    std::vector<std::vector<int>> twos, triangles, quads, polygons;
    std::vector<std::pair<std::int32_t, std::int32_t>> trailing;  // pairs after the closing marker
};

using IndexPairs = std::vector<std::pair<std::int32_t, std::int32_t>>;

IndexPairs pairs_of(const FaceGroups& groups);
// 6 + the vertex counts + 1 for each polygon of more than four points.
int slot_count_of(const FaceGroups& groups);

struct ArchiveContents {
    std::int32_t version = 2880;
    std::optional<std::int32_t> check;  // default: the one that belongs to the version
    std::vector<ArchivePoint> points;
    std::optional<std::uint16_t> point_count_word;  // written instead of the number of points
    IndexPairs pairs;
    int slot_count = 0;  // set with faces()
    std::vector<InstanceRecord> instances;
    // Words of each separator between instances; default: the class tag.
    std::vector<std::vector<std::uint16_t>> instance_separators;
    std::vector<LineRecord> dashed_lines, lines, dimension_lines;

    ArchiveContents& faces(const FaceGroups& groups) {
        pairs = pairs_of(groups);
        slot_count = slot_count_of(groups);
        return *this;
    }
};

struct Archive {
    std::string bytes;
    std::map<std::string, std::size_t> at;  // offsets of named items, e.g. "points.tag"

    void put_word(const std::string& item, std::uint16_t value);
    void put_byte(const std::string& item, std::uint8_t value);
};

Archive build_archive(const ArchiveContents& contents);

// The 37-byte smallest archive.
std::string smallest_archive();

}  // namespace kon2x::test
