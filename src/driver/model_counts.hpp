// What a loaded model holds, counted: for the page's facts and kon2batch's report.
#pragma once

#include <cstddef>

#include "model/construction_model.hpp"

namespace kon2x {

struct ModelCounts {
    std::size_t points = 0;
    // The elements by their number of points: 1, 2, 3, 4 and more.
    std::size_t single_points = 0;
    std::size_t two_point_elements = 0;
    std::size_t triangles = 0;
    std::size_t quads = 0;
    std::size_t polygons = 0;
    std::size_t instances = 0;
    // The instances that kon2gltf cannot place.
    std::size_t unplaced = 0;
};

ModelCounts count_model(const ConstructionModel& model);

// The distinct materials of the points, as the mesh writers number them.
std::size_t count_materials(const ConstructionModel& model);

}  // namespace kon2x
