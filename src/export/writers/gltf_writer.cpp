// The GLB file: a JSON chunk that describes the scene, then a binary chunk
// with the points, their texture coordinates and the triangles' indices.
#include "export/writers/gltf_writer.hpp"

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "export/maths/instance_transform.hpp"
#include "export/maths/polygon_triangulation.hpp"
#include "export/maths/srgb.hpp"
#include "export/output/json_text.hpp"

namespace kon2x {

namespace {

constexpr std::uint32_t kGlbMagic = 0x46546C67;       // "glTF"
constexpr std::uint32_t kJsonChunkType = 0x4E4F534A;  // "JSON"
constexpr std::uint32_t kBinChunkType = 0x004E4942;   // "BIN\0"
constexpr std::size_t kPositionSize = 12;             // three float32
constexpr std::size_t kTexcoordSize = 8;              // two float32
constexpr std::size_t kIndexSize = 2;                 // an unsigned 16-bit integer

// The triangles of every drawn face, as point indices, grouped by the face's
// material; faces keep their order within a group.
std::vector<std::vector<std::uint16_t>> triangles_by_material(const MeshPlan& plan) {
    std::vector<std::vector<std::uint16_t>> groups(plan.materials().size());
    std::vector<Corner3d> corners;
    std::vector<std::int32_t> triangles;
    for (const DrawnFace& drawn : plan.faces()) {
        const FaceRecord& face = *drawn.face;
        corners.clear();
        for (std::int32_t i = 0; i < face.vertex_count; ++i) {
            const PointRecord& p = plan.points()[static_cast<std::size_t>(face.index(i))];
            corners.push_back(
                Corner3d{static_cast<double>(p.x), static_cast<double>(p.y), static_cast<double>(p.z)});
        }
        triangles.clear();
        triangulate_face(corners, triangles);
        for (const std::int32_t position : triangles) {
            groups[static_cast<std::size_t>(drawn.material)].push_back(
                static_cast<std::uint16_t>(face.index(position)));
        }
    }
    return groups;
}

// A point as glTF holds it: converted to float32 as the .x writer does, in glTF's axes.
std::array<float, 3> position_of(const PointRecord& point) {
    const Vec3f p = gltf_axes(model_position(point));
    return {p.x, p.y, p.z};
}

// glTF holds finite numbers only.
std::array<float, 2> texcoord_of(const PointRecord& point) {
    return {std::isfinite(point.u) ? point.u : 0.0f, std::isfinite(point.v) ? point.v : 0.0f};
}

// Little-endian binary output, whatever the host's byte order.
void put_u32(OutputBuffer& out, std::uint32_t value) {
    const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8),
                           static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
    out.write(std::string_view(bytes, sizeof bytes));
}

template <std::size_t N>
void put_floats(OutputBuffer& out, const std::array<float, N>& values) {
    for (const float value : values) {
        put_u32(out, std::bit_cast<std::uint32_t>(value));
    }
}

void put_indices(OutputBuffer& out, const std::vector<std::uint16_t>& indices) {
    for (const std::uint16_t index : indices) {
        const char bytes[2] = {static_cast<char>(index), static_cast<char>(index >> 8)};
        out.write(std::string_view(bytes, sizeof bytes));
    }
}

class GltfFile {
public:
    explicit GltfFile(const MeshPlan& plan) : plan_(plan), groups_(triangles_by_material(plan)) {
        for (const auto& group : groups_) {
            index_count_ += group.size();
        }
        std::int32_t instance = 0;
        for (const InstanceRecord& record : plan.instances()) {
            NodePlacement node;
            if (node_placement(record, node)) {
                nodes_.push_back(Node{instance, node});
            } else {
                ++unplaceable_;
            }
            ++instance;
        }
    }

    int write(OutputBuffer& out) {
        // A model with nothing to draw is a scene without nodes: glTF allows
        // no empty arrays, so no mesh, material or buffer is written either.
        const bool drawable = index_count_ > 0 && !nodes_.empty();
        std::string json = R"({"asset":{"version":"2.0","generator":"kon2gltf"})";
        if (drawable) {
            append_scene(json);
        } else {
            json += R"(,"scene":0,"scenes":[{}])";
        }
        json += '}';
        json.append((4 - json.size() % 4) % 4, ' ');
        const std::size_t buffer_length = drawable ? binary_length() : 0;
        const std::size_t padding = (4 - buffer_length % 4) % 4;
        const std::size_t bin_chunk = drawable ? 8 + buffer_length + padding : 0;
        put_u32(out, kGlbMagic);
        put_u32(out, 2);
        put_u32(out, static_cast<std::uint32_t>(12 + 8 + json.size() + bin_chunk));
        put_u32(out, static_cast<std::uint32_t>(json.size()));
        put_u32(out, kJsonChunkType);
        out.write(json);
        if (drawable) {
            put_u32(out, static_cast<std::uint32_t>(buffer_length + padding));
            put_u32(out, kBinChunkType);
            write_binary(out);
            out.write(std::string(padding, '\0'));
        }
        return unplaceable_;
    }

private:
    struct Node {
        std::int32_t instance;
        NodePlacement placement;
    };

    std::size_t point_count() const { return plan_.points().size(); }
    std::size_t binary_length() const {
        return point_count() * (kPositionSize + kTexcoordSize) + index_count_ * kIndexSize;
    }

    void append_scene(std::string& json) const {
        if (!plan_.texture_names().empty()) {
            json += R"(,"extensionsUsed":["MSFT_texture_dds"])";
        }
        json += R"(,"scene":0,"scenes":[{"nodes":[)";
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            separate(json, i);
            append_number(json, i);
        }
        json += R"(]}],"nodes":[)";
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            separate(json, i);
            append_node(json, nodes_[i]);
        }
        json += R"(],"meshes":[{"primitives":[)";
        append_primitives(json);
        json += R"(]}],"materials":[)";
        append_materials(json);
        json += ']';
        append_textures(json);
        json += R"(,"accessors":[)";
        append_accessors(json);
        json += R"(],"bufferViews":[)";
        append_buffer_views(json);
        json += R"(],"buffers":[{"byteLength":)";
        append_number(json, binary_length());
        json += "}]";
    }

    static void append_node(std::string& json, const Node& node) {
        const NodePlacement& placement = node.placement;
        json += R"({"mesh":0)";
        if (placement.translation != std::array<float, 3>{0, 0, 0}) {
            json += R"(,"translation":)";
            append_array(json, placement.translation);
        }
        if (placement.rotation != std::array<float, 4>{0, 0, 0, 1}) {
            json += R"(,"rotation":)";
            append_array(json, placement.rotation);
        }
        if (placement.scale != std::array<float, 3>{1, 1, 1}) {
            json += R"(,"scale":)";
            append_array(json, placement.scale);
        }
        json += R"(,"extras":{"instance":)";
        append_number(json, node.instance);
        json += "}}";
    }

    // One primitive per material that faces use, in material order; all
    // share the points and texture coordinates.
    void append_primitives(std::string& json) const {
        std::size_t accessor = 2;
        for (std::size_t m = 0; m < groups_.size(); ++m) {
            if (groups_[m].empty()) {
                continue;
            }
            separate(json, accessor - 2);
            json += R"({"attributes":{"POSITION":0,"TEXCOORD_0":1},"indices":)";
            append_number(json, accessor++);
            json += R"(,"material":)";
            append_number(json, m);
            json += '}';
        }
    }

    void append_materials(std::string& json) const {
        for (std::size_t m = 0; m < plan_.materials().size(); ++m) {
            const MaterialKey& key = plan_.materials()[m];
            separate(json, m);
            json += R"({"pbrMetallicRoughness":{"baseColorFactor":)";
            append_array(json, std::array<double, 4>{linear_from_srgb(key.red), linear_from_srgb(key.green),
                                                     linear_from_srgb(key.blue), 1.0});
            if (const std::int32_t texture = plan_.texture_of_material(m); texture >= 0) {
                json += R"(,"baseColorTexture":{"index":)";
                append_number(json, texture);
                json += '}';
            }
            json += R"(,"metallicFactor":0,"roughnessFactor":1},"doubleSided":true,"extras":{"colour":)";
            append_array(json, std::array<int, 3>{key.red, key.green, key.blue});
            json += R"(,"texture":)";
            append_number(json, key.texture);
            json += R"(,"extra_colours":[)";
            for (std::size_t e = 0; e < key.extras.size(); ++e) {
                separate(json, e);
                append_array(json,
                             std::array<int, 3>{key.extras[e].red, key.extras[e].green, key.extras[e].blue});
            }
            json += "]}}";
        }
    }

    // Texture n shows the image NNNN.png; its MSFT_texture_dds form NNNN.dds.
    void append_textures(std::string& json) const {
        const std::vector<std::string>& names = plan_.texture_names();
        if (names.empty()) {
            return;
        }
        json += R"(,"textures":[)";
        for (std::size_t t = 0; t < names.size(); ++t) {
            separate(json, t);
            json += R"({"source":)";
            append_number(json, 2 * t);
            json += R"(,"extensions":{"MSFT_texture_dds":{"source":)";
            append_number(json, 2 * t + 1);
            json += "}}}";
        }
        json += R"(],"images":[)";
        for (std::size_t t = 0; t < names.size(); ++t) {
            separate(json, t);
            json += R"({"uri":")" + names[t] + R"(.png"},{"uri":")" + names[t] + R"(.dds"})";
        }
        json += ']';
    }

    void append_accessors(std::string& json) const {
        std::array<float, 3> low{};
        std::array<float, 3> high{};
        bool first = true;
        for (const PointRecord& point : plan_.points()) {
            const std::array<float, 3> p = position_of(point);
            for (std::size_t axis = 0; axis < 3; ++axis) {
                low[axis] = first || p[axis] < low[axis] ? p[axis] : low[axis];
                high[axis] = first || p[axis] > high[axis] ? p[axis] : high[axis];
            }
            first = false;
        }
        json += R"({"bufferView":0,"componentType":5126,"count":)";
        append_number(json, point_count());
        json += R"(,"type":"VEC3","min":)";
        append_array(json, low);
        json += R"(,"max":)";
        append_array(json, high);
        json += R"(},{"bufferView":1,"componentType":5126,"count":)";
        append_number(json, point_count());
        json += R"(,"type":"VEC2"})";
        std::size_t offset = 0;
        for (const auto& group : groups_) {
            if (group.empty()) {
                continue;
            }
            json += R"(,{"bufferView":2,"byteOffset":)";
            append_number(json, offset);
            json += R"(,"componentType":5123,"count":)";
            append_number(json, group.size());
            json += R"(,"type":"SCALAR"})";
            offset += group.size() * kIndexSize;
        }
    }

    // Points, texture coordinates (both ARRAY_BUFFER) and indices
    // (ELEMENT_ARRAY_BUFFER), one after another; all sizes are multiples of 4
    // but the last.
    void append_buffer_views(std::string& json) const {
        const std::size_t lengths[] = {point_count() * kPositionSize, point_count() * kTexcoordSize,
                                       index_count_ * kIndexSize};
        const int targets[] = {34962, 34962, 34963};
        std::size_t offset = 0;
        for (std::size_t v = 0; v < 3; ++v) {
            separate(json, v);
            json += R"({"buffer":0,"byteOffset":)";
            append_number(json, offset);
            json += R"(,"byteLength":)";
            append_number(json, lengths[v]);
            json += R"(,"target":)";
            append_number(json, targets[v]);
            json += '}';
            offset += lengths[v];
        }
    }

    void write_binary(OutputBuffer& out) const {
        for (const PointRecord& point : plan_.points()) {
            put_floats(out, position_of(point));
        }
        for (const PointRecord& point : plan_.points()) {
            put_floats(out, texcoord_of(point));
        }
        for (const auto& group : groups_) {
            put_indices(out, group);
        }
    }

    const MeshPlan& plan_;
    std::vector<std::vector<std::uint16_t>> groups_;  // indices of each material's triangles
    std::size_t index_count_ = 0;
    std::vector<Node> nodes_;
    int unplaceable_ = 0;
};

}  // namespace

const char* placement_problem(const InstanceRecord& instance) {
    if (!std::isfinite(instance.scale_x) || !std::isfinite(instance.scale_y) ||
        !std::isfinite(instance.scale_z)) {
        return "a scale factor is not finite";
    }
    if (std::isinf(instance.rot_x) || std::isinf(instance.rot_y) || std::isinf(instance.rot_z)) {
        return "an angle is infinite";
    }
    return nullptr;
}

bool node_placement(const InstanceRecord& instance, NodePlacement& node) {
    if (placement_problem(instance) != nullptr) {
        return false;
    }
    // The rotation R in glTF's axes is D R D with D = diag(1, -1, -1), a half
    // turn about x: the quaternion's y and z change sign. The scale is
    // diagonal, so D S D = S, and the offset turns like a point.
    const std::array<double, 4> q = rotation_quaternion(instance);
    node.translation = {static_cast<float>(instance.x), static_cast<float>(-static_cast<double>(instance.y)),
                        static_cast<float>(-static_cast<double>(instance.z))};
    node.rotation = {static_cast<float>(q[0]), static_cast<float>(-q[1]), static_cast<float>(-q[2]),
                     static_cast<float>(q[3])};
    node.scale = {instance.scale_x, instance.scale_y, instance.scale_z};
    return true;
}

int write_gltf(const MeshPlan& plan, OutputBuffer& out) {
    return GltfFile(plan).write(out);
}

}  // namespace kon2x
