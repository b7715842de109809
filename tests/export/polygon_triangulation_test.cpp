// Tests of the triangulation of faces: coverage, turning direction and the fan fallback.
#include "export/polygon_triangulation.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace kon2x {
namespace {

// Twice the signed area of a polygon in the z = 0 plane.
double twice_area(const std::vector<Corner3d>& corners, const std::vector<std::int32_t>& order) {
    double sum = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Corner3d& p = corners[static_cast<std::size_t>(order[i])];
        const Corner3d& q = corners[static_cast<std::size_t>(order[(i + 1) % order.size()])];
        sum += p[0] * q[1] - q[0] * p[1];
    }
    return sum;
}

std::vector<Corner3d> flat(const std::vector<std::pair<double, double>>& points) {
    std::vector<Corner3d> corners;
    for (const auto& [x, y] : points) {
        corners.push_back({x, y, 7});
    }
    return corners;
}

std::vector<std::int32_t> fan(std::int32_t n) {
    std::vector<std::int32_t> triangles;
    for (std::int32_t k = 1; k + 1 < n; ++k) {
        triangles.insert(triangles.end(), {0, k, k + 1});
    }
    return triangles;
}

TEST(TriangulateFace, CoversSimpleFacesExactlyTurningAsTheFaceTurns) {
    const struct {
        const char* name;
        std::vector<std::pair<double, double>> points;
    } rows[] = {
        {"square", {{0, 0}, {2, 0}, {2, 2}, {0, 2}}},
        {"L-shaped room", {{0, 0}, {4, 0}, {4, 1}, {1, 1}, {1, 3}, {0, 3}}},
        {"L-shaped room, clockwise", {{0, 3}, {1, 3}, {1, 1}, {4, 1}, {4, 0}, {0, 0}}},
        {"notch, concave at corner 0", {{2, 1}, {0, 0}, {4, 0}, {4, 4}, {0, 4}}},
        {"collinear points on an edge", {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 3}, {0, 3}}},
        {"comb",
         {{0, 0}, {5, 0}, {5, 3}, {4, 3}, {4, 1}, {3, 1}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}}},
    };
    for (const auto& row : rows) {
        const std::vector<Corner3d> corners = flat(row.points);
        std::vector<std::int32_t> triangles;
        triangulate_face(corners, triangles);
        std::vector<std::int32_t> all(corners.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            all[i] = static_cast<std::int32_t>(i);
        }
        const double face = twice_area(corners, all);
        ASSERT_EQ(triangles.size(), 3 * (corners.size() - 2)) << row.name;
        double covered = 0;
        for (std::size_t t = 0; t < triangles.size(); t += 3) {
            const double part = twice_area(corners, {triangles[t], triangles[t + 1], triangles[t + 2]});
            EXPECT_GE(part * face, 0) << row.name << ": triangle " << t / 3 << " turns the other way";
            covered += std::fabs(part);
        }
        EXPECT_DOUBLE_EQ(covered, std::fabs(face)) << row.name;  // no overlap, no gap
    }
}

TEST(TriangulateFace, FacesWithoutAPlaneBecomeFans) {
    const struct {
        const char* name;
        std::vector<Corner3d> corners;
    } rows[] = {
        {"triangle", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}},
        {"collinear", {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}}},
        {"one point four times", {{5, 5, 5}, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}}},
        {"bow tie", {{0, 0, 0}, {2, 2, 0}, {2, 0, 0}, {0, 2, 0}}},
    };
    for (const auto& row : rows) {
        std::vector<std::int32_t> triangles;
        triangulate_face(row.corners, triangles);
        EXPECT_EQ(triangles, fan(static_cast<std::int32_t>(row.corners.size()))) << row.name;
    }
}

TEST(TriangulateFace, AHugeConcaveFaceTakesBoundedWork) {
    // A comb of 20000 teeth in a tilted plane: too much work for ear clipping,
    // so it ends as a fan, quickly.
    std::vector<Corner3d> corners;
    for (int i = 0; i < 20000; ++i) {
        corners.push_back({i * 2.0, 0, i * 2.0});
        corners.push_back({i * 2.0 + 1, 1, i * 2.0 + 1});
    }
    corners.push_back({40000, -10, 40000});
    corners.push_back({0, -10, 0});
    std::vector<std::int32_t> triangles;
    triangulate_face(corners, triangles);
    EXPECT_EQ(triangles, fan(static_cast<std::int32_t>(corners.size())));
}

}  // namespace
}  // namespace kon2x
