// Cuts a face of three or more points into triangles that cover it in its own plane.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace kon2x {

// A corner of a face: x, y and z.
using Corner3d = std::array<double, 3>;

// Appends the n - 2 triangles of the face with these corners (n >= 3) to
// `triangles`, three positions in the face (0 to n - 1) each, every triangle
// turning as the face turns. Ear clipping in the face's plane covers concave
// faces exactly; a face without a plane (collinear or coincident points) or
// where no ear can be cut (self-intersecting) becomes a fan from corner 0, and
// so does a face whose clipping would take more than about 32 tests per corner,
// which keeps the work linear in the face's size.
void triangulate_face(std::span<const Corner3d> corners, std::vector<std::int32_t>& triangles);

}  // namespace kon2x
