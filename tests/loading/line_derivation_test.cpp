// Tests of the line derivation: order, orientation, counts and lengths.
#include "loading/line_derivation.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/model_builder.hpp"

namespace kon2x::test {
namespace {

ConstructionModel model_with(const std::vector<std::pair<int, int>>& points,
                             const std::vector<std::vector<int>>& faces) {
    std::vector<PointRecord> records;
    for (const auto& [x, y] : points) {
        records.push_back(point_at(x, y, 99));
    }
    return model_of(records, faces);
}

// Each line as "x0,y0>x1,y1".
std::vector<std::string> describe(const std::vector<LineRecord>& lines) {
    std::vector<std::string> text;
    for (const LineRecord& line : lines) {
        text.push_back(std::to_string(line.x0) + "," + std::to_string(line.y0) + ">" +
                       std::to_string(line.x1) + "," + std::to_string(line.y1));
    }
    return text;
}

// Points at x = 10 * index, y = index, so a line names its points.
ConstructionModel numbered(int count, const std::vector<std::vector<int>>& faces) {
    std::vector<std::pair<int, int>> points;
    for (int i = 0; i < count; ++i) {
        points.emplace_back(10 * i, i);
    }
    return model_with(points, faces);
}

using Lines = std::vector<std::string>;

TEST(DeriveLines, FollowsFirstOccurrenceOrderAndOrientation) {
    const struct {
        std::vector<std::vector<int>> faces;
        Lines lines, dashed, dimension;
    } rows[] = {
        {{}, {}, {}, {}},
        {{{0, 1, 2}}, {"0,0>10,1", "10,1>20,2", "20,2>0,0"}, {}, {}},
        {{{0, 1, 2}, {2, 1, 3}}, {"0,0>10,1", "20,2>0,0", "10,1>30,3", "30,3>20,2"}, {"10,1>20,2"}, {}},
        {{{0, 1, 2}, {1, 2, 3}, {2, 1, 4}},
         {"0,0>10,1", "20,2>0,0", "20,2>30,3", "30,3>10,1", "10,1>40,4", "40,4>20,2"},
         {"10,1>20,2"},
         {}},
        {{{1, 2, 1}}, {"10,1>10,1"}, {"10,1>20,2"}, {}},
        {{{4, 7}, {3}, {0, 1, 2}}, {"0,0>10,1", "10,1>20,2", "20,2>0,0"}, {}, {"40,4>70,7"}},
        {{{4, 7}, {7, 4, 5}}, {"70,7>40,4", "40,4>50,5", "50,5>70,7"}, {}, {"40,4>70,7"}},
        {{{0, 1, 2, 3, 4, 5}},
         {"0,0>10,1", "10,1>20,2", "20,2>30,3", "30,3>40,4", "40,4>50,5", "50,5>0,0"},
         {},
         {}},
    };
    for (const auto& row : rows) {
        ConstructionModel model = numbered(8, row.faces);
        derive_lines(model);
        EXPECT_EQ(describe(model.lines), row.lines);
        EXPECT_EQ(describe(model.dashed_lines), row.dashed);
        EXPECT_EQ(describe(model.dimension_lines), row.dimension);
        EXPECT_EQ(model.line_count, static_cast<int>(row.lines.size()));
        EXPECT_EQ(model.dashed_line_count, static_cast<int>(row.dashed.size()));
        EXPECT_EQ(model.dimension_line_count, static_cast<int>(row.dimension.size()));
    }
}

TEST(DeriveLines, LengthIsTheRootOfTheIntegerSum) {
    ConstructionModel model = model_with({{0, 0}, {3, 4}, {10, 0}, {-32767, 32767}, {32767, -32767}},
                                         {{0, 1}, {2, 0}, {1, 1}, {3, 4}});
    derive_lines(model);
    ASSERT_EQ(model.dimension_line_count, 4);
    EXPECT_EQ(model.dimension_lines[0].length, 5.0);
    EXPECT_EQ(model.dimension_lines[1].length, 10.0);
    EXPECT_EQ(model.dimension_lines[2].length, 0.0);
    EXPECT_EQ(model.dimension_lines[3].length, std::sqrt(2.0 * 65534.0 * 65534.0));
}

TEST(DeriveLines, ExtremeCoordinatesDoNotOverflow) {
    ConstructionModel model =
        model_with({{-2147483647 - 1, -2147483647 - 1}, {2147483647, 2147483647}}, {{0, 1}});
    derive_lines(model);
    EXPECT_NEAR(model.dimension_lines[0].length, std::sqrt(2.0) * 4294967295.0, 1.0);
}

// Many faces over a few hundred points, repeated indices included, so edges
// are often shared and the edge index holds many keys: the result must match
// a plain ordered map of every edge seen so far.
TEST(DeriveLines, SharedEdgesMatchAPlainMap) {
    constexpr int kPoints = 300;
    std::mt19937 random(2026);
    std::vector<std::vector<int>> faces(15000);
    for (auto& face : faces) {
        face.resize(3 + random() % 4);
        for (int& index : face) {
            index = static_cast<int>(random() % kPoints);
        }
    }
    struct Edge {
        int from, to, uses;
    };
    std::vector<Edge> edges;
    std::map<std::pair<int, int>, std::size_t> position;
    for (const auto& face : faces) {
        for (std::size_t j = 0; j < face.size(); ++j) {
            const int from = face[j];
            const int to = face[(j + 1) % face.size()];
            const auto [known, added] = position.try_emplace(std::minmax(from, to), edges.size());
            if (added) {
                edges.push_back({from, to, 1});
            } else {
                ++edges[known->second].uses;
            }
        }
    }
    std::vector<std::vector<int>> single, shared;
    for (const Edge& e : edges) {
        (e.uses == 1 ? single : shared).push_back({e.from, e.to});
    }
    const auto as_lines = [](const std::vector<std::vector<int>>& pairs) {
        ConstructionModel pair_model = numbered(kPoints, pairs);
        derive_lines(pair_model);
        return describe(pair_model.dimension_lines);
    };

    ConstructionModel model = numbered(kPoints, faces);
    derive_lines(model);
    EXPECT_EQ(describe(model.lines), as_lines(single));
    EXPECT_EQ(describe(model.dashed_lines), as_lines(shared));
}

}  // namespace
}  // namespace kon2x::test
