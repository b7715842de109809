// Counting a model's points, elements by size, instances and materials.
#include "driver/model_counts.hpp"

#include <algorithm>

#include "export/writers/gltf_writer.hpp"
#include "export/writers/material_table.hpp"

namespace kon2x {

ModelCounts count_model(const ConstructionModel& model) {
    std::size_t by_size[6] = {};
    for (const FaceRecord& face : model.valid_faces()) {
        ++by_size[std::clamp(face.vertex_count, 0, 5)];
    }
    ModelCounts counts;
    counts.points = model.valid_points().size();
    counts.single_points = by_size[1];
    counts.two_point_elements = by_size[2];
    counts.triangles = by_size[3];
    counts.quads = by_size[4];
    counts.polygons = by_size[5];
    counts.instances = model.valid_instances().size();
    for (const InstanceRecord& instance : model.valid_instances()) {
        counts.unplaced += placement_problem(instance) != nullptr ? 1 : 0;
    }
    return counts;
}

std::size_t count_materials(const ConstructionModel& model) {
    MaterialTable table;
    for (const PointRecord& point : model.valid_points()) {
        table.find_or_add(key_from_point(point));
    }
    return static_cast<std::size_t>(table.count());
}

}  // namespace kon2x
