// Reads what kon2x writes with an independent, widely used .x reader (assimp)
// and checks that it carries the geometry, materials and texture coordinates
// the construction file meant.
//
// The reader's habits, undone below: its .x importer converts left- to
// right-handed by negating z and reversing every face's winding, stores v as
// 1 - v, splits the mesh into one aiMesh per material that a face uses (in
// file order within each), gives every face corner its own vertex, keeps all
// materials (unused ones too) in file order with the texture as the diffuse
// texture, and keeps polygons as polygons.
//
// The same reader reads kon2gltf's .glb of each input: every node, with its
// transform applied, must put the points where the instance transform does
// (the .x vertices, in glTF's axes (x, -y, -z) instead of (x, -y, z)), and each
// primitive must have its material's linear colour and its faces' triangles.
// The glTF importer keeps a primitive's points in accessor order and the
// node's extras as metadata.
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <assimp/Importer.hpp>
#include <cmath>
#include <string>
#include <vector>

#include "export/maths/instance_transform.hpp"
#include "export/maths/srgb.hpp"
#include "loading/loader.hpp"
#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

struct Corner {
    double x, y, z, u, v;
};

struct MeantFace {
    std::vector<Corner> corners;
};

struct MeantMaterial {
    double red, green, blue;
    std::string texture;  // empty: none
};

struct Meaning {
    std::vector<MeantMaterial> materials;
    std::vector<std::vector<MeantFace>> faces_by_material;  // in file order
};

bool same_key(const PointRecord& a, const PointRecord& b) {
    if (a.red != b.red || a.green != b.green || a.blue != b.blue || a.texture != b.texture ||
        a.extras.size() != b.extras.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.extras.size(); ++i) {
        if (a.extras[i].red != b.extras[i].red || a.extras[i].green != b.extras[i].green ||
            a.extras[i].blue != b.extras[i].blue) {
            return false;
        }
    }
    return true;
}

// What the model means as a left-handed mesh: y negated, faces wound
// clockwise unless the instance mirrors.
Meaning meaning_of(const ConstructionModel& model) {
    Meaning meaning;
    std::vector<int> material_of_point;
    std::vector<const PointRecord*> firsts;
    for (int k = 0; k < model.point_count; ++k) {
        const PointRecord& p = model.points[static_cast<std::size_t>(k)];
        int found = -1;
        for (std::size_t m = 0; m < firsts.size() && found < 0; ++m) {
            found = same_key(*firsts[m], p) ? static_cast<int>(m) : -1;
        }
        if (found < 0) {
            found = static_cast<int>(firsts.size());
            firsts.push_back(&p);
            const double k255 = 0.003921568859368563;
            char name[32];
            std::snprintf(name, sizeof name, "%04d.dds", p.texture);
            meaning.materials.push_back(
                {p.red * k255, p.green * k255, p.blue * k255, p.texture != 0 ? name : ""});
        }
        material_of_point.push_back(found);
    }
    meaning.faces_by_material.resize(firsts.size());
    for (const InstanceRecord& instance : model.instances) {
        const bool mirrored = ((instance.scale_x < 0) != (instance.scale_y < 0)) != (instance.scale_z < 0);
        for (int f = 0; f < model.face_count; ++f) {
            const FaceRecord& face = model.faces[static_cast<std::size_t>(f)];
            if (face.vertex_count <= 2) {
                continue;
            }
            MeantFace meant;
            for (int i = 0; i < face.vertex_count; ++i) {
                const int position = mirrored ? i : face.vertex_count - 1 - i;
                const PointRecord& p = model.points[static_cast<std::size_t>(face.index(position))];
                const Vec3f r = transform_point(
                    instance, {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
                meant.corners.push_back({r.x, -static_cast<double>(r.y), r.z, p.u, p.v});
            }
            const int material =
                material_of_point[static_cast<std::size_t>(face.index(face.material_position()))];
            meaning.faces_by_material[static_cast<std::size_t>(material)].push_back(meant);
        }
    }
    return meaning;
}

void expect_close(double actual, double expected, const std::string& what) {
    EXPECT_NEAR(actual, expected, 1e-6 * std::max(1.0, std::fabs(expected)) + 1e-6) << what;
}

// A corpus case: its input and its expected .x (the bytes kon2x writes for it).
struct Sample {
    std::string name;
    std::filesystem::path input;
    std::string x_file;
};

void check_gltf_file(const Sample& sample, const ConstructionModel& model, const Meaning& meaning) {
    TempDir dir;
    std::filesystem::copy_file(sample.input, dir.path() / sample.input.filename());
    ASSERT_EQ(run_kon2x(dir.path(), {sample.input.filename().string()}, "\n", false, KON2GLTF_EXE).status, 0);
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile((dir.path() / (sample.name + ".glb")).string(), 0);
    ASSERT_NE(scene, nullptr) << sample.name << ": " << importer.GetErrorString();
    for (unsigned n = 0; n < scene->mRootNode->mNumChildren; ++n) {
        const aiNode* node = scene->mRootNode->mChildren[n];
        std::uint64_t j = 0;
        ASSERT_TRUE(node->mMetaData != nullptr && node->mMetaData->Get("instance", j)) << sample.name;
        const InstanceRecord& instance = model.valid_instances()[static_cast<std::size_t>(j)];
        std::size_t material = 0;  // primitives come in material order
        for (unsigned i = 0; i < node->mNumMeshes; ++i, ++material) {
            while (meaning.faces_by_material[material].empty()) {
                ++material;
            }
            const aiMesh* mesh = scene->mMeshes[node->mMeshes[i]];
            ASSERT_EQ(mesh->mNumVertices, model.valid_points().size()) << sample.name;
            for (unsigned k = 0; k < mesh->mNumVertices; ++k) {
                const PointRecord& p = model.valid_points()[k];
                const Vec3f r = transform_point(
                    instance, {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
                if (!std::isfinite(r.x) || !std::isfinite(r.y) || !std::isfinite(r.z)) {
                    continue;  // a node whose scale overflows float32 places nothing to compare
                }
                const aiVector3D at =
                    scene->mRootNode->mTransformation * node->mTransformation * mesh->mVertices[k];
                const double scale = 4 * (1 + std::max({std::fabs(r.x), std::fabs(r.y), std::fabs(r.z)}));
                expect_close(at.x / scale, r.x / scale, sample.name + " glTF x");
                expect_close(-at.y / scale, r.y / scale, sample.name + " glTF y");
                expect_close(-at.z / scale, r.z / scale, sample.name + " glTF z");
            }
            std::size_t triangles = 0;  // of all instances
            for (const MeantFace& face : meaning.faces_by_material[material]) {
                triangles += face.corners.size() - 2;
            }
            EXPECT_EQ(mesh->mNumFaces * static_cast<std::size_t>(model.instance_count), triangles)
                << sample.name;
            aiColor4D colour;
            ASSERT_EQ(scene->mMaterials[mesh->mMaterialIndex]->Get(AI_MATKEY_BASE_COLOR, colour),
                      aiReturn_SUCCESS);
            const MeantMaterial& meant = meaning.materials[material];
            expect_close(colour.r, linear_from_srgb(static_cast<std::uint8_t>(std::lround(meant.red * 255))),
                         "red");
            expect_close(colour.g,
                         linear_from_srgb(static_cast<std::uint8_t>(std::lround(meant.green * 255))),
                         "green");
            expect_close(colour.b, linear_from_srgb(static_cast<std::uint8_t>(std::lround(meant.blue * 255))),
                         "blue");
        }
    }
}

void check_file(const Sample& sample) {
    ConstructionModel model;
    {
        ConsoleCapture quiet;
        load(model, sample.input.string());
    }
    ASSERT_EQ(model.loaded, 1);
    const Meaning meaning = meaning_of(model);
    check_gltf_file(sample, model, meaning);
    if (read_file(sample.x_file).find('#') != std::string::npos) {
        return;  // the .x reader takes no "1.#INF00" for a number
    }

    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(sample.x_file, 0);
    ASSERT_NE(scene, nullptr) << sample.name << ": " << importer.GetErrorString();

    ASSERT_EQ(scene->mNumMaterials, meaning.materials.size()) << sample.name;
    for (unsigned m = 0; m < scene->mNumMaterials; ++m) {
        aiColor4D diffuse;
        ASSERT_EQ(scene->mMaterials[m]->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse), aiReturn_SUCCESS);
        expect_close(diffuse.r, meaning.materials[m].red, sample.name + " red");
        expect_close(diffuse.g, meaning.materials[m].green, sample.name + " green");
        expect_close(diffuse.b, meaning.materials[m].blue, sample.name + " blue");
        aiString texture;
        const bool has_texture =
            scene->mMaterials[m]->GetTexture(aiTextureType_DIFFUSE, 0, &texture) == aiReturn_SUCCESS;
        EXPECT_EQ(has_texture ? std::string(texture.C_Str()) : "", meaning.materials[m].texture)
            << sample.name;
    }

    std::size_t meshes_seen = 0;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        const aiMesh* mesh = scene->mMeshes[i];
        const auto& meant = meaning.faces_by_material.at(mesh->mMaterialIndex);
        ASSERT_EQ(mesh->mNumFaces, meant.size()) << sample.name << " material " << mesh->mMaterialIndex;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            const std::vector<Corner>& corners = meant[f].corners;
            ASSERT_EQ(face.mNumIndices, corners.size());
            for (unsigned c = 0; c < face.mNumIndices; ++c) {
                // The reader reversed the winding and negated z.
                const Corner& want = corners[corners.size() - 1 - c];
                const aiVector3D& at = mesh->mVertices[face.mIndices[c]];
                expect_close(at.x, want.x, sample.name + " x");
                expect_close(at.y, want.y, sample.name + " y");
                expect_close(-at.z, want.z, sample.name + " z");
                const aiVector3D& uv = mesh->mTextureCoords[0][face.mIndices[c]];
                expect_close(uv.x, want.u, sample.name + " u");
                expect_close(1.0 - uv.y, want.v, sample.name + " v");
            }
        }
        ++meshes_seen;
    }
    std::size_t used_materials = 0;
    for (const auto& faces : meaning.faces_by_material) {
        used_materials += faces.empty() ? 0 : 1;
    }
    EXPECT_EQ(meshes_seen, used_materials) << sample.name;
}

TEST(XFileReader, ReadsWhatEveryCorpusMeshMeant) {
    for (const std::filesystem::path& input : corpus_inputs()) {
        const std::string x_file = expected_file(input, ".x").string();
        if (read_file(x_file).find("Mesh ") != std::string::npos) {
            check_file(Sample{input.stem().string(), input, x_file});
        }
    }
}

TEST(XFileReader, RefusesAHeaderOnlyFileAndAMeshWithoutVertices) {
    TempDir dir;
    dir.write("empty.kon", "KON;KRUV\nX\nFlaechen\nScalX\n");
    dir.write("novertex.kon", "KON;KRUV\nX\n0;0;0\n1;0;0\n0;1;0\nFlaechen\n0;1;2\nScalX\n");
    ASSERT_EQ(run_kon2x(dir.path(), {"empty.kon"}, "").status, 0);
    ASSERT_EQ(run_kon2x(dir.path(), {"novertex.kon"}, "").status, 0);

    Assimp::Importer importer;
    EXPECT_EQ(importer.ReadFile((dir.path() / "empty.x").string(), 0), nullptr);
    EXPECT_NE(std::string(importer.GetErrorString()).find("No root node"), std::string::npos)
        << importer.GetErrorString();
    EXPECT_EQ(importer.ReadFile((dir.path() / "novertex.x").string(), aiProcess_ValidateDataStructure),
              nullptr);
}

}  // namespace
}  // namespace kon2x::test
