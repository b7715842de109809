// The mesh plan: drawn faces, material numbers and texture names.
#include "export/writers/mesh_plan.hpp"

#include <cassert>
#include <map>
#include <string>

namespace kon2x {

namespace {

[[maybe_unused]] bool indices_name_points(const FaceRecord& face, std::size_t point_count) {
    for (std::int32_t i = 0; i < face.vertex_count; ++i) {
        if (face.index(i) < 0 || static_cast<std::size_t>(face.index(i)) >= point_count) {
            return false;
        }
    }
    return true;
}

// As "%04d" writes the number: at least four characters, zeros after the sign.
std::string texture_stem(std::int32_t texture) {
    std::string text = std::to_string(texture);
    if (text.size() < 4) {
        text.insert(texture < 0 ? 1 : 0, 4 - text.size(), '0');
    }
    return text;
}

}  // namespace

MeshPlan::MeshPlan(const ConstructionModel& model)
    : kind_(model.kind), points_(model.valid_points()), instances_(model.valid_instances()) {
    std::vector<std::int32_t> material_of_point;
    material_of_point.reserve(points_.size());
    for (const PointRecord& point : points_) {
        material_of_point.push_back(table_.find_or_add(key_from_point(point)));
    }
    faces_.reserve(model.valid_faces().size());
    for (const FaceRecord& face : model.valid_faces()) {
        if (face.vertex_count > 2) {
            assert(indices_name_points(face, points_.size()));
            const auto vertex = static_cast<std::size_t>(face.index(face.material_position()));
            faces_.push_back(DrawnFace{&face, material_of_point[vertex]});
        }
    }
    std::map<std::int32_t, std::int32_t> position_of_texture;
    for (const MaterialKey& key : table_.entries()) {
        std::int32_t position = -1;
        if (key.texture != 0) {
            const auto [known, added] = position_of_texture.try_emplace(
                key.texture, static_cast<std::int32_t>(texture_names_.size()));
            if (added) {
                texture_names_.push_back(texture_stem(key.texture));
            }
            position = known->second;
        }
        texture_of_material_.push_back(position);
    }
}

std::int64_t MeshPlan::vertex_total() const {
    return static_cast<std::int64_t>(instances_.size()) * static_cast<std::int64_t>(points_.size());
}

std::int64_t MeshPlan::face_total() const {
    return static_cast<std::int64_t>(instances_.size()) * static_cast<std::int64_t>(faces_.size());
}

}  // namespace kon2x
