// Line derivation: outline edges, shared edges and dimension lines.
#include "loading/line_derivation.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace kon2x {

namespace {

struct EdgeUse {
    std::int16_t from;
    std::int16_t to;
    std::int32_t use_count;
};

// The same key for (a, b) and (b, a).
std::uint32_t undirected_key(std::int16_t a, std::int16_t b) {
    const auto ua = static_cast<std::uint16_t>(a);
    const auto ub = static_cast<std::uint16_t>(b);
    return ua < ub ? (std::uint32_t{ua} << 16) | ub : (std::uint32_t{ub} << 16) | ua;
}

double segment_length(std::int64_t dx, std::int64_t dy) {
    // The exact integer sum, converted once; sums beyond 64 bits (coordinates
    // far outside the model's range) are added in double precision instead.
    const auto ax = static_cast<std::uint64_t>(dx < 0 ? -dx : dx);
    const auto ay = static_cast<std::uint64_t>(dy < 0 ? -dy : dy);
    const std::uint64_t xx = ax * ax;
    const std::uint64_t yy = ay * ay;
    const std::uint64_t sum = xx + yy;
    if (sum < xx) {
        return std::sqrt(static_cast<double>(xx) + static_cast<double>(yy));
    }
    return std::sqrt(static_cast<double>(sum));
}

LineRecord line_between(std::span<const PointRecord> points, std::int16_t p, std::int16_t q) {
    const PointRecord& a = points[static_cast<std::size_t>(p)];
    const PointRecord& b = points[static_cast<std::size_t>(q)];
    LineRecord line;
    line.x0 = a.x;
    line.y0 = a.y;
    line.x1 = b.x;
    line.y1 = b.y;
    line.length = segment_length(std::int64_t{a.x} - b.x, std::int64_t{a.y} - b.y);
    return line;
}

// A list's count: its size, at most 32767, the limit of the model's counts.
std::int16_t capped_count(const std::vector<LineRecord>& list) {
    return static_cast<std::int16_t>(std::min(list.size(), static_cast<std::size_t>(kMaxCount)));
}

// Positions of the edges in their list by undirected key: open addressing
// with linear probing, sized once for every edge the faces can have. A slot
// holds the key in its high half and the position plus one in its low half;
// 0 marks a free slot.
class EdgeIndex {
public:
    explicit EdgeIndex(std::size_t most_edges) {
        std::size_t size = 64;
        while (size < 2 * most_edges) {
            size *= 2;
        }
        slots_.assign(size, 0);
        mask_ = size - 1;
    }

    // The position (plus one) stored for `key`, or 0 when the key is new; a
    // new key is stored with `new_position_plus_one`.
    std::uint32_t find_or_add(std::uint32_t key, std::uint32_t new_position_plus_one) {
        std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15u) >> 32) & mask_;
        while (slots_[slot] != 0) {
            if (static_cast<std::uint32_t>(slots_[slot] >> 32) == key) {
                return static_cast<std::uint32_t>(slots_[slot]);
            }
            slot = (slot + 1) & mask_;
        }
        slots_[slot] = (std::uint64_t{key} << 32) | new_position_plus_one;
        return 0;
    }

private:
    std::vector<std::uint64_t> slots_;
    std::size_t mask_ = 0;
};

// The distinct edges in the order of their first occurrence, each with the
// orientation it was first met in and the number of times it was met.
std::vector<EdgeUse> collect_edges(std::span<const FaceRecord> faces) {
    std::size_t most_edges = 0;
    for (const FaceRecord& face : faces) {
        most_edges += face.vertex_count > 2 ? static_cast<std::size_t>(face.vertex_count) : 0;
    }
    std::vector<EdgeUse> edges;
    edges.reserve(most_edges);
    EdgeIndex index(most_edges);
    for (const FaceRecord& face : faces) {
        const std::int32_t n = face.vertex_count;
        if (n <= 2) {
            continue;
        }
        const std::int16_t first = face.index(0);
        std::int16_t from = first;
        for (std::int32_t j = 1; j <= n; ++j) {
            const std::int16_t to = j < n ? face.index(j) : first;
            const auto next_position_plus_one = static_cast<std::uint32_t>(edges.size() + 1);
            const std::uint32_t known = index.find_or_add(undirected_key(from, to), next_position_plus_one);
            if (known != 0) {
                ++edges[known - 1].use_count;
            } else {
                edges.push_back(EdgeUse{from, to, 1});
            }
            from = to;
        }
    }
    return edges;
}

}  // namespace

void derive_lines(ConstructionModel& model) {
    const std::span<const PointRecord> points = std::as_const(model).valid_points();
    const std::span<const FaceRecord> faces = std::as_const(model).valid_faces();
    std::vector<LineRecord> dimension_lines;
    for (const FaceRecord& face : faces) {
        if (face.vertex_count == 2) {
            dimension_lines.push_back(line_between(points, face.index(0), face.index(1)));
        }
    }

    std::vector<LineRecord> lines;
    std::vector<LineRecord> dashed_lines;
    for (const EdgeUse& edge : collect_edges(faces)) {
        (edge.use_count == 1 ? lines : dashed_lines).push_back(line_between(points, edge.from, edge.to));
    }

    model.dimension_line_count = capped_count(dimension_lines);
    model.dimension_lines = std::move(dimension_lines);
    model.line_count = capped_count(lines);
    model.lines = std::move(lines);
    model.dashed_line_count = capped_count(dashed_lines);
    model.dashed_lines = std::move(dashed_lines);
    model.lines_derived = true;
}

}  // namespace kon2x
