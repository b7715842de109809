// The face-index stream: reading the pairs, checking the groups, building faces.
#include "loading/face_index_stream.hpp"

#include <string>
#include <vector>

#include "driver/console.hpp"

namespace kon2x {

namespace {

struct IndexPair {
    std::int32_t first = 0;
    std::int32_t second = 0;
};

// A polygon's run of vertex pairs.
struct Run {
    std::size_t start = 0;
    std::size_t length = 0;
};

// The groups of a well-formed stream: where each run starts and how long it is.
struct StreamLayout {
    Run singles, pairs, triangles, quads;
    std::vector<Run> polygons;
};

int fail(const std::string& message) {
    report_and_wait(message);
    return 0;
}

// Finds the groups, or says which marker or run is wrong.
class LayoutScanner {
public:
    explicit LayoutScanner(const std::vector<IndexPair>& pairs) : pairs_(pairs) {}

    // An empty result means success.
    std::string scan(StreamLayout& layout) {
        if (!take_marker(0))
            return "Vert(0,1) nicht gefunden!\n";
        layout.singles = take_run();
        if (!take_marker(1))
            return "Vert(1,1) nicht gefunden!\n";
        layout.pairs = take_run();
        if (layout.pairs.length % 2 != 0)
            return "2-Vert nicht OK!\n";
        if (!take_marker(4))
            return "Vert(4,1) nicht gefunden!\n";
        layout.triangles = take_run();
        if (layout.triangles.length % 3 != 0)
            return "3-Vert nicht OK!\n";
        if (!take_marker(7))
            return "Vert(7,1) nicht gefunden!\n";
        layout.quads = take_run();
        if (layout.quads.length % 4 != 0)
            return "4-Vert nicht OK!\n";
        if (!take_marker(9))
            return "Vert(9,1) nicht gefunden!\n";
        while (is_vertex(position_)) {
            layout.polygons.push_back(take_run());
            if (!take_marker(9))
                return "Vert(9,1) nicht gefunden!\n";
        }
        if (!take_marker(9))
            return "Ende-Vert(9,1) nicht gefunden!\n";
        return {};
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
    std::size_t position_ = 0;
};

int read_pairs(ArchiveInput& in, std::uint16_t pair_count, std::uint16_t class_tag,
               std::vector<IndexPair>& pairs) {
    pairs.reserve(pair_count);
    for (std::size_t i = 0; i < pair_count; ++i) {
        unsigned char raw[8];
        if (!in.bytes(raw, sizeof raw)) {
            return 0;
        }
        pairs.push_back(IndexPair{int_at(raw), int_at(raw + 4)});
        if (i + 1 < pair_count && !expect_word(in, class_tag)) {
            if (in.ended()) {
                return 0;
            }
            const auto shown =
                static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int16_t>(class_tag)));
            return fail(format_message("Falscher Trenner1: %x!\n", shown));
        }
    }
    return 1;
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
    add_faces(pairs, layout.singles, 1, faces);
    add_faces(pairs, layout.pairs, 2, faces);
    add_faces(pairs, layout.triangles, 3, faces);
    add_faces(pairs, layout.quads, 4, faces);
    for (const Run& polygon : layout.polygons) {
        add_faces(pairs, polygon, polygon.length, faces);
    }
    return faces;
}

std::size_t face_total(const StreamLayout& layout) {
    return layout.singles.length + layout.pairs.length / 2 + layout.triangles.length / 3 +
           layout.quads.length / 4 + layout.polygons.size();
}

// 1 if every index names a point, else 0 after the message.
int check_indices(const ConstructionModel& model) {
    for (std::int32_t f = 0; f < model.face_count; ++f) {
        const FaceRecord& face = model.faces[static_cast<std::size_t>(f)];
        for (std::int32_t i = 0; i < face.vertex_count; ++i) {
            const std::int16_t index = face.index(i);
            if (index < 0 || index >= model.point_count) {
                return fail(format_message("Falscher Punkt: %d, %d!\n", static_cast<int>(f),
                                           static_cast<int>(index)));
            }
        }
    }
    return 1;
}

void mark_material_vertices(ConstructionModel& model) {
    for (std::int32_t f = 0; f < model.face_count; ++f) {
        const FaceRecord& face = model.faces[static_cast<std::size_t>(f)];
        model.points[static_cast<std::size_t>(face.index(face.material_position()))].material_vertex = 1;
    }
}

}  // namespace

int read_face_index_stream(ConstructionModel& model, ArchiveInput& in, std::uint16_t pair_count,
                           std::uint16_t class_tag) {
    std::vector<IndexPair> pairs;
    if (!read_pairs(in, pair_count, class_tag, pairs)) {
        return 0;
    }
    StreamLayout layout;
    const std::string problem = LayoutScanner(pairs).scan(layout);
    if (!problem.empty()) {
        return fail(problem);
    }
    if (face_total(layout) > static_cast<std::size_t>(kMaxCount)) {
        return fail("Anzahl Flaechen nicht OK!\n");
    }
    model.faces = build_faces(pairs, layout);
    model.face_count = static_cast<std::int16_t>(model.faces.size());
    if (!check_indices(model)) {
        return 0;
    }
    mark_material_vertices(model);
    return 1;
}

std::int32_t face_stream_slot_count(const ConstructionModel& model) {
    std::int32_t slots = 6;
    for (std::int32_t f = 0; f < model.face_count; ++f) {
        const std::int32_t n = model.faces[static_cast<std::size_t>(f)].vertex_count;
        slots += n + (n > 4 ? 1 : 0);
    }
    return slots;
}

}  // namespace kon2x
