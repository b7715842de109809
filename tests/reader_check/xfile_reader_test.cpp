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
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <assimp/Importer.hpp>
#include <cmath>
#include <string>
#include <vector>

#include "export/instance_transform.hpp"
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

// Reads the expected .x of a corpus case (the bytes kon2x writes for it).
void check_file(const std::filesystem::path& input, const std::string& x_file) {
    const std::string name = input.stem().string();
    ConstructionModel model;
    {
        ConsoleCapture quiet;
        load(model, input.string());
    }
    ASSERT_EQ(model.loaded, 1);
    const Meaning meaning = meaning_of(model);

    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(x_file, 0);
    ASSERT_NE(scene, nullptr) << name << ": " << importer.GetErrorString();

    ASSERT_EQ(scene->mNumMaterials, meaning.materials.size()) << name;
    for (unsigned m = 0; m < scene->mNumMaterials; ++m) {
        aiColor4D diffuse;
        ASSERT_EQ(scene->mMaterials[m]->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse), aiReturn_SUCCESS);
        expect_close(diffuse.r, meaning.materials[m].red, name + " red");
        expect_close(diffuse.g, meaning.materials[m].green, name + " green");
        expect_close(diffuse.b, meaning.materials[m].blue, name + " blue");
        aiString texture;
        const bool has_texture =
            scene->mMaterials[m]->GetTexture(aiTextureType_DIFFUSE, 0, &texture) == aiReturn_SUCCESS;
        EXPECT_EQ(has_texture ? std::string(texture.C_Str()) : "", meaning.materials[m].texture) << name;
    }

    std::size_t meshes_seen = 0;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        const aiMesh* mesh = scene->mMeshes[i];
        const auto& meant = meaning.faces_by_material.at(mesh->mMaterialIndex);
        ASSERT_EQ(mesh->mNumFaces, meant.size()) << name << " material " << mesh->mMaterialIndex;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            const std::vector<Corner>& corners = meant[f].corners;
            ASSERT_EQ(face.mNumIndices, corners.size());
            for (unsigned c = 0; c < face.mNumIndices; ++c) {
                // The reader reversed the winding and negated z.
                const Corner& want = corners[corners.size() - 1 - c];
                const aiVector3D& at = mesh->mVertices[face.mIndices[c]];
                expect_close(at.x, want.x, name + " x");
                expect_close(at.y, want.y, name + " y");
                expect_close(-at.z, want.z, name + " z");
                const aiVector3D& uv = mesh->mTextureCoords[0][face.mIndices[c]];
                expect_close(uv.x, want.u, name + " u");
                expect_close(1.0 - uv.y, want.v, name + " v");
            }
        }
        ++meshes_seen;
    }
    std::size_t used_materials = 0;
    for (const auto& faces : meaning.faces_by_material) {
        used_materials += faces.empty() ? 0 : 1;
    }
    EXPECT_EQ(meshes_seen, used_materials) << name;
}

TEST(XFileReader, ReadsWhatEveryCorpusMeshMeant) {
    for (const std::filesystem::path& input : corpus_inputs()) {
        const std::string x_file = source_path("tests/corpus/" + input.stem().string() + ".x").string();
        // (The reader takes no "1.#INF00" for a number.)
        const std::string x_text = read_file(x_file);
        if (x_text.find("Mesh ") != std::string::npos && x_text.find('#') == std::string::npos) {
            check_file(input, x_file);
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
