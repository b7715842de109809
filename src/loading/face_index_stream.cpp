// The face-index stream: reading the pairs, checking the groups, building faces.
#include "loading/face_index_stream.hpp"

#include <iterator>
#include <string>
#include <vector>

#include "console/console.hpp"

namespace kon2x {

namespace {

struct IndexPair {
    std::int32_t first = 0;
    std::int32_t second = 0;
};

// A run of vertex pairs: where it starts and how many pairs it has.
struct Run {
    std::size_t start = 0;
    std::size_t length = 0;
};

// The groups of faces of one size each, in stream order: the marker before
// the group, the size of its faces and the messages for a missing marker and
// for a run that does not divide into faces.
struct FixedSizeGroup {
    std::int32_t marker;
    std::size_t face_size;
    const char* marker_missing;
    const char* run_not_divisible;
};

constexpr FixedSizeGroup kFixedSizeGroups[] = {
    {0, 1, "Vert(0,1) nicht gefunden!\n", ""},
    {1, 2, "Vert(1,1) nicht gefunden!\n", "2-Vert nicht OK!\n"},
    {4, 3, "Vert(4,1) nicht gefunden!\n", "3-Vert nicht OK!\n"},
    {7, 4, "Vert(7,1) nicht gefunden!\n", "4-Vert nicht OK!\n"},
};
constexpr std::int32_t kPolygonMarker = 9;

// The runs of a well-formed stream: one per fixed-size group, then one per polygon.
struct StreamLayout {
    Run fixed_size[std::size(kFixedSizeGroups)];
    std::vector<Run> polygons;
};

// Finds the groups; a wrong marker or run is the reason for stopping.
class LayoutScanner {
public:
    LayoutScanner(const std::vector<IndexPair>& pairs, ArchiveInput& in) : pairs_(pairs), in_(in) {}

    bool scan(StreamLayout& layout) {
        for (std::size_t g = 0; g < std::size(kFixedSizeGroups); ++g) {
            const FixedSizeGroup& group = kFixedSizeGroups[g];
            if (!take_marker(group.marker)) {
                return in_.fail(group.marker_missing);
            }
            layout.fixed_size[g] = take_run();
            if (layout.fixed_size[g].length % group.face_size != 0) {
                return in_.fail(group.run_not_divisible);
            }
        }
        if (!take_marker(kPolygonMarker)) {
            return in_.fail("Vert(9,1) nicht gefunden!\n");
        }
        while (is_vertex(position_)) {
            layout.polygons.push_back(take_run());
            if (!take_marker(kPolygonMarker)) {
                return in_.fail("Vert(9,1) nicht gefunden!\n");
            }
        }
        return take_marker(kPolygonMarker) || in_.fail("Ende-Vert(9,1) nicht gefunden!\n");
    }

private:
    bool is_vertex(std::size_t i) const { return i < pairs_.size() && pairs_[i].second == 0; }

    bool take_marker(std::int32_t code) {
        if (position_ < pairs_.size() && pairs_[position_].second == 1 && pairs_[position_].first == code) {
            ++position_;
            return true;
        }
        return false;
    }

    Run take_run() {
        Run run{position_, 0};
        while (is_vertex(position_)) {
            ++position_;
            ++run.length;
        }
        return run;
    }

    const std::vector<IndexPair>& pairs_;
    ArchiveInput& in_;
    std::size_t position_ = 0;
};

bool read_pairs(ArchiveInput& in, std::uint16_t pair_count, std::uint16_t class_tag,
                std::vector<IndexPair>& pairs) {
    pairs.reserve(pair_count);
    for (std::size_t i = 0; i < pair_count; ++i) {
        unsigned char raw[8];
        if (!in.bytes(raw, sizeof raw)) {
            return false;
        }
        pairs.push_back(IndexPair{int_at(raw), int_at(raw + 4)});
        if (i + 1 < pair_count && !expect_word(in, class_tag)) {
            return in.fail(format_message("Falscher Trenner1: %x!\n", tag_as_shown(class_tag)));
        }
    }
    return true;
}

// Appends faces of `size` points each, cut from a run of pairs.
void add_faces(const std::vector<IndexPair>& pairs, const Run& run, std::size_t size,
               std::vector<FaceRecord>& faces) {
    for (std::size_t start = run.start; start + size <= run.start + run.length; start += size) {
        FaceRecord face;
        for (std::size_t i = start; i < start + size; ++i) {
            face.append_index(static_cast<std::int16_t>(pairs[i].first));
        }
        faces.push_back(std::move(face));
    }
}

std::vector<FaceRecord> build_faces(const std::vector<IndexPair>& pairs, const StreamLayout& layout) {
    std::vector<FaceRecord> faces;
    for (std::size_t g = 0; g < std::size(kFixedSizeGroups); ++g) {
        add_faces(pairs, layout.fixed_size[g], kFixedSizeGroups[g].face_size, faces);
    }
    for (const Run& polygon : layout.polygons) {
        add_faces(pairs, polygon, polygon.length, faces);
    }
    return faces;
}

std::size_t face_total(const StreamLayout& layout) {
    std::size_t total = layout.polygons.size();
    for (std::size_t g = 0; g < std::size(kFixedSizeGroups); ++g) {
        total += layout.fixed_size[g].length / kFixedSizeGroups[g].face_size;
    }
    return total;
}

// True if every index names a point; else the first that does not, with
// its face's position, is the reason for stopping.
bool check_indices(const ConstructionModel& model, ArchiveInput& in) {
    int position = 0;
    for (const FaceRecord& face : model.valid_faces()) {
        for (std::int32_t i = 0; i < face.vertex_count; ++i) {
            const std::int16_t index = face.index(i);
            if (index < 0 || index >= model.point_count) {
                return in.fail(
                    format_message("Falscher Punkt: %d, %d!\n", position, static_cast<int>(index)));
            }
        }
        ++position;
    }
    return true;
}

void mark_material_vertices(ConstructionModel& model) {
    const std::span<PointRecord> points = model.valid_points();
    for (const FaceRecord& face : model.valid_faces()) {
        points[static_cast<std::size_t>(face.index(face.material_position()))].material_vertex = 1;
    }
}

}  // namespace

bool read_face_index_stream(ConstructionModel& model, ArchiveInput& in, std::uint16_t pair_count,
                            std::uint16_t class_tag) {
    std::vector<IndexPair> pairs;
    if (!read_pairs(in, pair_count, class_tag, pairs)) {
        return false;
    }
    StreamLayout layout;
    if (!LayoutScanner(pairs, in).scan(layout)) {
        return false;
    }
    if (face_total(layout) > static_cast<std::size_t>(kMaxCount)) {
        return in.fail("Anzahl Flaechen nicht OK!\n");
    }
    model.faces = build_faces(pairs, layout);
    model.face_count = static_cast<std::int16_t>(model.faces.size());
    if (!check_indices(model, in)) {
        return false;
    }
    mark_material_vertices(model);
    return true;
}

std::int32_t face_stream_slot_count(const ConstructionModel& model) {
    std::int32_t slots = 6;
    for (const FaceRecord& face : model.valid_faces()) {
        slots += face.vertex_count + (face.vertex_count > 4 ? 1 : 0);
    }
    return slots;
}

}  // namespace kon2x
