// Reads what kon2gltf writes with assimp's glTF importer and checks it
// against the .x that kon2x writes for the same input: every node, with its
// transform applied, puts the points where the .x vertices of its instance
// are; each primitive has the colour of its faces' material and every
// instance has the faces' triangles.
//
// In glTF's axes a point is (x, -y, -z) of the model; the .x holds (x, -y, z).
// The importer keeps the points of a primitive in their accessor's order and
// the node's extras as metadata.
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <assimp/Importer.hpp>
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "export/srgb.hpp"
#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

// What a .x file holds, as far as this check needs it.
struct XMesh {
    std::vector<std::array<double, 3>> vertices;
    std::vector<std::size_t> face_sizes;
    std::vector<std::int32_t> face_materials;
    std::vector<std::array<double, 3>> materials;  // colours as written, 0 to 1
};

XMesh read_x(std::string text) {
    std::erase(text, '\r');
    std::istringstream in(text);
    std::string line;
    const auto next = [&] { return static_cast<bool>(std::getline(in, line)); };
    const auto count = [&] { return next() ? std::stoul(line) : 0; };
    XMesh mesh;
    next();  // the header line
    next();  // "Mesh Main_Mesh {"
    for (std::size_t i = count(); i > 0 && next(); --i) {
        std::array<double, 3>& v = mesh.vertices.emplace_back();
        std::sscanf(line.c_str(), "%lf; %lf; %lf", &v[0], &v[1], &v[2]);
    }
    for (std::size_t i = count(); i > 0 && next(); --i) {
        mesh.face_sizes.push_back(std::stoul(line));
    }
    next();  // "MeshMaterialList {"
    const std::size_t materials = count();
    for (std::size_t i = count(); i > 0 && next(); --i) {
        mesh.face_materials.push_back(std::stoi(line));
    }
    while (mesh.materials.size() < materials && next()) {
        std::array<double, 3> c{};
        if (line.ends_with(" 1.00000;;") &&
            std::sscanf(line.c_str(), "\t%lf; %lf; %lf;", &c[0], &c[1], &c[2]) == 3) {
            mesh.materials.push_back(c);
        }
    }
    return mesh;
}

void check_case(const std::filesystem::path& input, const std::string& x_text) {
    const std::string name = input.stem().string();
    XMesh x = read_x(x_text);
    TempDir dir;
    std::filesystem::copy_file(input, dir.path() / input.filename());
    ASSERT_EQ(run_kon2gltf(dir.path(), {input.filename().string()}, "\n").status, 0) << name;
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile((dir.path() / (name + ".glb")).string(), 0);
    ASSERT_NE(scene, nullptr) << name << ": " << importer.GetErrorString();

    // The .x repeats the points and faces of one instance for every instance.
    ASSERT_GT(scene->mNumMeshes, 0u) << name;
    const std::size_t points = scene->mMeshes[0]->mNumVertices;
    const std::size_t instances = x.vertices.size() / points;
    ASSERT_EQ(instances * points, x.vertices.size()) << name;
    ASSERT_LE(scene->mRootNode->mNumChildren, instances) << name;
    std::set<std::int32_t> used;
    std::size_t triangles_per_instance = 0;
    for (std::size_t f = 0; f < x.face_sizes.size() / instances; ++f) {
        used.insert(x.face_materials[f]);
        triangles_per_instance += x.face_sizes[f] - 2;
    }
    double size = 1;
    for (const auto& v : x.vertices) {
        size = std::isfinite(v[0] + v[1] + v[2])
                   ? std::max({size, std::fabs(v[0]), std::fabs(v[1]), std::fabs(v[2])})
                   : size;
    }
    for (unsigned n = 0; n < scene->mRootNode->mNumChildren; ++n) {
        const aiNode* node = scene->mRootNode->mChildren[n];
        std::uint64_t instance = 0;
        ASSERT_TRUE(node->mMetaData != nullptr && node->mMetaData->Get("instance", instance)) << name;
        const aiMatrix4x4 transform = scene->mRootNode->mTransformation * node->mTransformation;
        std::size_t triangles = 0;
        auto material = used.begin();
        for (unsigned m = 0; m < node->mNumMeshes; ++m, ++material) {
            const aiMesh* mesh = scene->mMeshes[node->mMeshes[m]];
            ASSERT_EQ(mesh->mNumVertices, points) << name;
            double worst = 0;  // the largest distance of a placed point from its .x vertex, per axis
            for (unsigned k = 0; k < points; ++k) {
                const aiVector3D at = transform * mesh->mVertices[k];
                const auto& want = x.vertices[static_cast<std::size_t>(instance) * points + k];
                worst = std::max({worst, std::fabs(at.x - want[0]), std::fabs(at.y - want[1]),
                                  std::fabs(-at.z - want[2])});
            }
            EXPECT_LE(worst, 2e-6 * size) << name << " instance " << instance;
            triangles += mesh->mNumFaces;
            aiColor4D colour;
            ASSERT_EQ(scene->mMaterials[mesh->mMaterialIndex]->Get(AI_MATKEY_BASE_COLOR, colour), AI_SUCCESS);
            const auto& written = x.materials[static_cast<std::size_t>(*material)];
            EXPECT_NEAR(colour.r, linear_from_srgb(static_cast<std::uint8_t>(std::lround(written[0] * 255))),
                        1e-6);
            EXPECT_NEAR(colour.g, linear_from_srgb(static_cast<std::uint8_t>(std::lround(written[1] * 255))),
                        1e-6);
            EXPECT_NEAR(colour.b, linear_from_srgb(static_cast<std::uint8_t>(std::lround(written[2] * 255))),
                        1e-6);
        }
        EXPECT_EQ(triangles, triangles_per_instance) << name;
    }
}

TEST(GltfReader, PlacesWhatTheXFileHolds) {
    for (const std::filesystem::path& input : corpus_inputs()) {
        const std::string x_text = read_file(source_path("tests/corpus/" + input.stem().string() + ".x"));
        if (x_text.find("Mesh ") != std::string::npos &&
            x_text.find("Mesh Main_Mesh {\r\n0;") == std::string::npos) {
            check_case(input, x_text);
        }
    }
}

}  // namespace
}  // namespace kon2x::test
