// Line derivation: outline edges, shared edges and dimension lines.
#include "loading/line_derivation.hpp"

#include <cmath>
#include <cstdint>
#include <unordered_map>
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

LineRecord line_between(const ConstructionModel& model, std::int16_t p, std::int16_t q) {
    const PointRecord& a = model.points[static_cast<std::size_t>(p)];
    const PointRecord& b = model.points[static_cast<std::size_t>(q)];
    LineRecord line;
    line.x0 = a.x;
    line.y0 = a.y;
    line.x1 = b.x;
    line.y1 = b.y;
    line.length = segment_length(std::int64_t{a.x} - b.x, std::int64_t{a.y} - b.y);
    return line;
}

void append_line(std::vector<LineRecord>& list, const LineRecord& line) {
    if (list.size() < static_cast<std::size_t>(kMaxCount)) {
        list.push_back(line);
    }
}

std::vector<EdgeUse> collect_edges(const ConstructionModel& model) {
    std::vector<EdgeUse> edges;
    std::unordered_map<std::uint32_t, std::size_t> position_of;
    for (std::int32_t f = 0; f < model.face_count; ++f) {
        const FaceRecord& face = model.faces[static_cast<std::size_t>(f)];
        const std::int32_t n = face.vertex_count;
        if (n <= 2) {
            continue;
        }
        for (std::int32_t j = 0; j < n; ++j) {
            const std::int16_t from = face.index(j);
            const std::int16_t to = face.index((j + 1) % n);
            const auto [it, added] = position_of.try_emplace(undirected_key(from, to), edges.size());
            if (added) {
                edges.push_back(EdgeUse{from, to, 1});
            } else {
                ++edges[it->second].use_count;
            }
        }
    }
    return edges;
}

}  // namespace

void derive_lines(ConstructionModel& model) {
    std::vector<LineRecord> dimension_lines;
    for (std::int32_t f = 0; f < model.face_count; ++f) {
        const FaceRecord& face = model.faces[static_cast<std::size_t>(f)];
        if (face.vertex_count == 2) {
            append_line(dimension_lines, line_between(model, face.index(0), face.index(1)));
        }
    }

    std::vector<LineRecord> lines;
    std::vector<LineRecord> dashed_lines;
    for (const EdgeUse& edge : collect_edges(model)) {
        append_line(edge.use_count == 1 ? lines : dashed_lines, line_between(model, edge.from, edge.to));
    }

    model.dimension_line_count = static_cast<std::int16_t>(dimension_lines.size());
    model.dimension_lines = std::move(dimension_lines);
    model.line_count = static_cast<std::int16_t>(lines.size());
    model.lines = std::move(lines);
    model.dashed_line_count = static_cast<std::int16_t>(dashed_lines.size());
    model.dashed_lines = std::move(dashed_lines);
}

}  // namespace kon2x
