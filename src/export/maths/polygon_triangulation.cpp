// Ear clipping of a face projected onto the coordinate plane it faces most.
#include "export/maths/polygon_triangulation.hpp"

#include <cmath>

namespace kon2x {

namespace {

struct Point2d {
    double a = 0.0;
    double b = 0.0;
};

// Twice the signed area of the triangle p, q, r: positive when it turns
// counter-clockwise.
double orientation(const Point2d& p, const Point2d& q, const Point2d& r) {
    return (q.a - p.a) * (r.b - p.b) - (q.b - p.b) * (r.a - p.a);
}

// The corners projected along the largest component of the face's normal
// (Newell's method), so that the face turns counter-clockwise in the plane.
// False when the face has no plane.
bool project(std::span<const Corner3d> corners, std::vector<Point2d>& points) {
    double nx = 0.0;
    double ny = 0.0;
    double nz = 0.0;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const Corner3d& p = corners[i];
        const Corner3d& q = corners[(i + 1) % corners.size()];
        nx += (p[1] - q[1]) * (p[2] + q[2]);
        ny += (p[2] - q[2]) * (p[0] + q[0]);
        nz += (p[0] - q[0]) * (p[1] + q[1]);
    }
    const double ax = std::fabs(nx);
    const double ay = std::fabs(ny);
    const double az = std::fabs(nz);
    if (ax == 0.0 && ay == 0.0 && az == 0.0) {
        return false;
    }
    for (const Corner3d& c : corners) {
        // Dropping x, y or z keeps the cyclic order of the other two, so the
        // projected face turns as the normal's dropped component's sign says.
        if (az >= ax && az >= ay) {
            points.push_back(nz > 0 ? Point2d{c[0], c[1]} : Point2d{c[1], c[0]});
        } else if (ay >= ax) {
            points.push_back(ny > 0 ? Point2d{c[2], c[0]} : Point2d{c[0], c[2]});
        } else {
            points.push_back(nx > 0 ? Point2d{c[1], c[2]} : Point2d{c[2], c[1]});
        }
    }
    return true;
}

void append_fan(std::size_t n, std::vector<std::int32_t>& triangles) {
    for (std::size_t k = 1; k + 1 < n; ++k) {
        triangles.insert(triangles.end(),
                         {0, static_cast<std::int32_t>(k), static_cast<std::int32_t>(k + 1)});
    }
}

class EarClipper {
public:
    explicit EarClipper(const std::vector<Point2d>& points)
        : points_(points), previous_(points.size()), next_(points.size()), removed_(points.size(), false) {
        const std::size_t n = points.size();
        for (std::size_t i = 0; i < n; ++i) {
            previous_[i] = (i + n - 1) % n;
            next_[i] = (i + 1) % n;
        }
        for (std::size_t i = 0; i < n; ++i) {
            if (turn(i) <= 0.0) {
                not_convex_.push_back(i);
            }
        }
        budget_ = 32 * n + 2048;
    }

    // Appends the triangles; false when no ear was found or the budget ran out.
    bool clip(std::vector<std::int32_t>& triangles) {
        std::size_t remaining = points_.size();
        std::size_t i = 0;
        std::size_t misses = 0;
        while (remaining > 3) {
            if (!is_ear(i)) {
                i = next_[i];
                if (budget_ == 0 || ++misses > remaining) {
                    return false;
                }
                continue;
            }
            append(previous_[i], i, next_[i], triangles);
            const std::size_t before = previous_[i];
            next_[before] = next_[i];
            previous_[next_[i]] = before;
            removed_[i] = true;
            --remaining;
            misses = 0;
            i = before;
        }
        append(previous_[i], i, next_[i], triangles);
        return true;
    }

private:
    double turn(std::size_t i) const {
        return orientation(points_[previous_[i]], points_[i], points_[next_[i]]);
    }

    // A convex corner whose triangle holds no corner that is reflex or
    // straight (only such a corner can lie inside an ear), on its edges
    // included. Corners that were cut or have turned convex leave the list.
    bool is_ear(std::size_t i) {
        if (!spend() || turn(i) <= 0.0) {
            return false;
        }
        const Point2d& p = points_[previous_[i]];
        const Point2d& q = points_[i];
        const Point2d& r = points_[next_[i]];
        for (std::size_t at = 0; at < not_convex_.size();) {
            const std::size_t k = not_convex_[at];
            if (!spend()) {
                return false;
            }
            if (removed_[k] || turn(k) > 0.0) {
                not_convex_[at] = not_convex_.back();
                not_convex_.pop_back();
                continue;
            }
            ++at;
            if (k == previous_[i] || k == next_[i]) {
                continue;
            }
            const Point2d& s = points_[k];
            if (orientation(p, q, s) >= 0.0 && orientation(q, r, s) >= 0.0 && orientation(r, p, s) >= 0.0) {
                return false;
            }
        }
        return true;
    }

    // Takes one test from the budget; false when none is left.
    bool spend() {
        if (budget_ == 0) {
            return false;
        }
        --budget_;
        return true;
    }

    static void append(std::size_t a, std::size_t b, std::size_t c, std::vector<std::int32_t>& triangles) {
        triangles.insert(triangles.end(), {static_cast<std::int32_t>(a), static_cast<std::int32_t>(b),
                                           static_cast<std::int32_t>(c)});
    }

    const std::vector<Point2d>& points_;
    std::vector<std::size_t> previous_;
    std::vector<std::size_t> next_;
    std::vector<bool> removed_;
    std::vector<std::size_t> not_convex_;  // reflex or straight corners
    std::size_t budget_ = 0;               // tests left
};

}  // namespace

void triangulate_face(std::span<const Corner3d> corners, std::vector<std::int32_t>& triangles) {
    const std::size_t first = triangles.size();
    std::vector<Point2d> points;
    if (corners.size() > 3 && project(corners, points) && EarClipper(points).clip(triangles)) {
        return;
    }
    triangles.resize(first);
    append_fan(corners.size(), triangles);
}

}  // namespace kon2x
