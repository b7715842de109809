// What both writers draw of a model, worked out once: faces, materials, textures, axes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "export/maths/instance_transform.hpp"
#include "export/writers/material_table.hpp"
#include "model/construction_model.hpp"

namespace kon2x {

// A face that the mesh draws (more than two points) and its material.
struct DrawnFace {
    const FaceRecord* face;
    std::int32_t material;
};

// The mesh of a loaded model as both writers serialise it: the faces drawn
// (those of more than two points, in face order), each with the material of
// its material vertex; the materials numbered in the order they first occur
// among all points, those that no face uses included; and the textures they
// name. The readers guarantee that every index of a face names a point: the
// plan relies on that (and asserts it in debug builds). It refers to the
// model's records, so the model must outlive it.
class MeshPlan {
public:
    explicit MeshPlan(const ConstructionModel& model);

    std::int32_t kind() const { return kind_; }
    std::span<const PointRecord> points() const { return points_; }
    std::span<const InstanceRecord> instances() const { return instances_; }
    const std::vector<DrawnFace>& faces() const { return faces_; }
    // Every instance places every point and every drawn face.
    std::int64_t vertex_total() const;
    std::int64_t face_total() const;

    const std::vector<MaterialKey>& materials() const { return table_.entries(); }
    // The distinct texture numbers other than 0, in the order the materials
    // name them, each as "%04d" writes it ("0007"): the file name without
    // its extension.
    const std::vector<std::string>& texture_names() const { return texture_names_; }
    // The position in texture_names() of material m's texture; -1 for none.
    std::int32_t texture_of_material(std::size_t m) const { return texture_of_material_[m]; }

private:
    std::int32_t kind_;
    std::span<const PointRecord> points_;
    std::span<const InstanceRecord> instances_;
    std::vector<DrawnFace> faces_;
    MaterialTable table_;
    std::vector<std::string> texture_names_;
    std::vector<std::int32_t> texture_of_material_;
};

// A placed point in the writers' axes. The models draw their top at negative
// y, so y is negated: DirectX's axes are left-handed, (x, -y, z) there (kind
// 1 also swaps y and z: (x, -z, -y)); glTF's are right-handed, (x, -y, -z),
// the same picture. Negation is exact, so either form widens to the same doubles.
inline Vec3f directx_axes(std::int32_t kind, const Vec3f& p) {
    return kind == kKindConvertible ? Vec3f{p.x, -p.y, p.z} : Vec3f{p.x, -p.z, -p.y};
}
inline Vec3f gltf_axes(const Vec3f& p) {
    return {p.x, -p.y, -p.z};
}

// A point's position in the model's axes, converted to float32 as the writers place it.
inline Vec3f model_position(const PointRecord& point) {
    return {static_cast<float>(point.x), static_cast<float>(point.y), static_cast<float>(point.z)};
}

}  // namespace kon2x
