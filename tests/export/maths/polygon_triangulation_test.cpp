// Tests of the triangulation of faces: coverage, turning direction and the fan fallback.
#include "export/maths/polygon_triangulation.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

namespace kon2x {
namespace {

// Twice the signed area of the corners at `order` (x and y; z is ignored).
double twice_area(const std::vector<Corner3d>& corners, const std::vector<std::int32_t>& order) {
    double sum = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Corner3d& p = corners[static_cast<std::size_t>(order[i])];
        const Corner3d& q = corners[static_cast<std::size_t>(order[(i + 1) % order.size()])];
        sum += p[0] * q[1] - q[0] * p[1];
    }
    return sum;
}

std::vector<std::int32_t> fan(std::size_t n) {
    std::vector<std::int32_t> triangles;
    for (std::int32_t k = 1; k + 1 < static_cast<std::int32_t>(n); ++k) {
        triangles.insert(triangles.end(), {0, k, k + 1});
    }
    return triangles;
}

TEST(TriangulateFace, CoversSimpleFacesExactlyTurningAsTheFaceTurns) {
    const std::vector<std::vector<Corner3d>> faces = {
        {{0, 0, 7}, {2, 0, 7}, {2, 2, 7}, {0, 2, 7}},                        // square
        {{0, 0, 7}, {4, 0, 7}, {4, 1, 7}, {1, 1, 7}, {1, 3, 7}, {0, 3, 7}},  // L-shaped room
        {{0, 3, 7}, {1, 3, 7}, {1, 1, 7}, {4, 1, 7}, {4, 0, 7}, {0, 0, 7}},  // the same, clockwise
        {{2, 1, 7}, {0, 0, 7}, {4, 0, 7}, {4, 4, 7}, {0, 4, 7}},             // notch at corner 0
        {{0, 0, 7}, {1, 0, 7}, {2, 0, 7}, {3, 0, 7}, {3, 3, 7}, {0, 3, 7}},  // collinear corners
        {{0, 0, 7},
         {5, 0, 7},
         {5, 3, 7},
         {4, 3, 7},
         {4, 1, 7},
         {3, 1, 7},
         {3, 3, 7},
         {2, 3, 7},
         {2, 1, 7},
         {1, 1, 7},
         {1, 3, 7},
         {0, 3, 7}},  // comb
    };
    for (const std::vector<Corner3d>& corners : faces) {
        std::vector<std::int32_t> triangles;
        triangulate_face(corners, triangles);
        std::vector<std::int32_t> all(corners.size());
        std::iota(all.begin(), all.end(), 0);
        const double face = twice_area(corners, all);
        ASSERT_EQ(triangles.size(), 3 * (corners.size() - 2));
        double covered = 0;
        for (std::size_t t = 0; t < triangles.size(); t += 3) {
            const double part = twice_area(corners, {triangles[t], triangles[t + 1], triangles[t + 2]});
            EXPECT_GE(part * face, 0) << "triangle " << t / 3 << " turns the other way";
            covered += std::fabs(part);
        }
        EXPECT_DOUBLE_EQ(covered, std::fabs(face)) << corners.size() << " corners";  // no overlap, no gap
    }
}

TEST(TriangulateFace, FacesWithoutAPlaneAndHugeConcaveFacesBecomeFans) {
    std::vector<Corner3d> comb;  // 20000 teeth in a tilted plane: beyond the work bound
    for (int i = 0; i < 20000; ++i) {
        comb.push_back({i * 2.0, 0, i * 2.0});
        comb.push_back({i * 2.0 + 1, 1, i * 2.0 + 1});
    }
    comb.push_back({40000, -10, 40000});
    comb.push_back({0, -10, 0});
    const std::vector<std::vector<Corner3d>> faces = {
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},             // a triangle
        {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}},  // collinear
        {{5, 5, 5}, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}},  // one point four times
        {{0, 0, 0}, {2, 2, 0}, {2, 0, 0}, {0, 2, 0}},  // a bow tie
        comb,
    };
    for (const std::vector<Corner3d>& corners : faces) {
        std::vector<std::int32_t> triangles;
        triangulate_face(corners, triangles);
        EXPECT_EQ(triangles, fan(corners.size())) << corners.size() << " corners";
    }
}

}  // namespace
}  // namespace kon2x
