// Tests of the glTF writer: node placement and the layout of the GLB file.
#include "export/writers/gltf_writer.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "export/maths/srgb.hpp"
#include "support/model_builder.hpp"

namespace kon2x::test {
namespace {

// The node's transform applied to a point given in glTF's axes: scale, rotate, translate.
std::array<double, 3> placed(const NodePlacement& node, std::array<double, 3> p) {
    for (std::size_t i = 0; i < 3; ++i) {
        p[i] *= node.scale[i];
    }
    const auto [qx, qy, qz, qw] = node.rotation;
    const std::array<double, 3> t = {2 * (qy * p[2] - qz * p[1]), 2 * (qz * p[0] - qx * p[2]),
                                     2 * (qx * p[1] - qy * p[0])};
    return {p[0] + qw * t[0] + (qy * t[2] - qz * t[1]) + node.translation[0],
            p[1] + qw * t[1] + (qz * t[0] - qx * t[2]) + node.translation[1],
            p[2] + qw * t[2] + (qx * t[1] - qy * t[0]) + node.translation[2]};
}

TEST(GltfWriter, PlacesNodesAsTheInstanceTransformPlacesPoints) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        InstanceRecord instance;
        bool placeable;
        std::array<double, 3> point, expected;  // in glTF's axes: (x, -y, -z) of the model's
    } rows[] = {
        {instance_of(2, 1, -1, 30, 45, 60, 5, 0, 0),
         true,
         {100, -200, -300},
         {-260.69366, -186.21524, 254.42241}},
        {instance_of(1, 1, 1, std::nan(""), 0, 0, 10, 20, 30), true, {1, -2, -3}, {11, -22, -33}},
        {instance_of(1, nan, 1, 0, 0, 0, 0, 0, 0), false, {}, {}},
    };
    for (const auto& row : rows) {
        NodePlacement node;
        ASSERT_EQ(node_placement(row.instance, node), row.placeable);
        if (row.placeable) {
            const std::array<double, 3> at = placed(node, row.point);
            for (std::size_t i = 0; i < 3; ++i) {
                EXPECT_NEAR(at[i], row.expected[i], 1e-3) << i;
            }
        }
    }
}

// A little-endian word of the file (the tests run on little-endian hosts).
std::uint32_t u32_at(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

TEST(GltfWriter, LaysOutTheGlbContainer) {
    const std::vector<PointRecord> points = {point_at(0, 0, 0, 255, 0, 0, 7), point_at(1, 0, 0),
                                             point_at(0, 1, 0), point_at(1, 1, 0)};
    const struct {
        ConstructionModel model;
        bool drawable;
    } rows[] = {
        {model_of(points, {{0, 1, 2, 3}, {0, 3}}, {InstanceRecord{}, InstanceRecord{}}), true},
        {model_of(points, {{0, 1}}), false},  // an empty scene
    };
    for (const auto& row : rows) {
        std::string glb;
        OutputBuffer out(glb);
        write_gltf(MeshPlan(row.model), out);
        ASSERT_TRUE(out.flush() && glb.size() >= 20);
        EXPECT_EQ(glb.substr(0, 8), std::string("glTF\2\0\0\0", 8));
        EXPECT_EQ(u32_at(glb, 8), glb.size());
        const std::uint32_t json_length = u32_at(glb, 12);
        EXPECT_EQ(json_length % 4, 0u);
        EXPECT_EQ(glb.substr(16, 4), "JSON");
        const std::string json = glb.substr(20, json_length);
        EXPECT_TRUE(json.starts_with(R"({"asset":{"version":"2.0","generator":"kon2gltf"})")) << json;
        EXPECT_EQ(json.find_last_not_of(' '), json.find_last_of('}'));  // padded with spaces
        if (!row.drawable) {
            EXPECT_EQ(glb.size(), 20 + json_length);
            EXPECT_NE(json.find(R"("scenes":[{}])"), std::string::npos) << json;
            continue;
        }
        const std::size_t bin = 20 + json_length;
        EXPECT_EQ(u32_at(glb, bin) % 4, 0u);
        EXPECT_EQ(glb.substr(bin + 4, 4), std::string("BIN\0", 4));
        EXPECT_EQ(bin + 8 + u32_at(glb, bin), glb.size());
        // Views of 4 points, 4 texture coordinates and 6 indices, each at a multiple of 4.
        EXPECT_NE(json.find(R"("byteOffset":0,"byteLength":48,"target":34962},)"
                            R"({"buffer":0,"byteOffset":48,"byteLength":32,"target":34962},)"
                            R"({"buffer":0,"byteOffset":80,"byteLength":12,"target":34963})"),
                  std::string::npos)
            << json;
    }
}

TEST(Srgb, LinearValuesOfColourBytes) {
    const struct {
        int byte;
        double linear;
    } rows[] = {
        {0, 0.0}, {1, 1 / 255.0 / 12.92}, {10, 10 / 255.0 / 12.92}, {128, 0.21586050011389915}, {255, 1.0}};
    for (const auto& row : rows) {
        EXPECT_DOUBLE_EQ(linear_from_srgb(static_cast<std::uint8_t>(row.byte)), row.linear) << row.byte;
    }
    for (int byte = 11; byte < 255; ++byte) {  // the power segment, against long double arithmetic
        const long double c = byte / 255.0L;
        const double expected = static_cast<double>(std::pow((c + 0.055L) / 1.055L, 2.4L));
        EXPECT_NEAR(linear_from_srgb(static_cast<std::uint8_t>(byte)), expected, 1e-15) << byte;
    }
}

}  // namespace
}  // namespace kon2x::test
