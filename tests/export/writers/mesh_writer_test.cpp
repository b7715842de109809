// Tests of the mesh writer at library level, where a text file cannot reach
// (NaN scales, kind 1, mesh names); the other cases are files in tests/corpus.
#include "export/writers/mesh_writer.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "loading/loader.hpp"
#include "support/model_builder.hpp"
#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

std::string written(const ConstructionModel& model, const char* name = nullptr, unsigned threads = 0) {
    std::string text;
    OutputBuffer out(text);
    write_mesh(MeshPlan(model), out, name, threads);
    EXPECT_TRUE(out.flush());
    return text;
}

// The lines of `text` (CR LF removed) from the line after `after` up to, not including, `until`.
std::vector<std::string> section(const std::string& text, const std::string& after,
                                 const std::string& until) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    bool inside = false;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        if (inside && line == until) {
            break;
        }
        if (inside) {
            lines.push_back(line);
        }
        inside = inside || line == after;
    }
    return lines;
}

InstanceRecord scaled(float sx, float sy, float sz) {
    return instance_of(sx, sy, sz, 0, 0, 0, 0, 0, 0);
}

const std::vector<PointRecord> kTriangle = {point_at(0, 0, 0), point_at(1, 0, 0), point_at(0, 1, 0)};

TEST(WriteMesh, MirroredInstancesKeepTheStoredOrder) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        InstanceRecord instance;
        const char* face;
    } rows[] = {
        {scaled(1, 1, 1), "3;  2,1,0;,"},   {scaled(-1, 1, 1), "3;  0,1,2;,"},
        {scaled(-1, -1, 1), "3;  2,1,0;,"}, {scaled(-1, -1, -1), "3;  0,1,2;,"},
        {scaled(1, nan, 1), "3;  0,1,2;,"}, {scaled(-0.0f, 1, 1), "3;  2,1,0;,"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(
            section(written(model_of(kTriangle, {{0, 1, 2}}, {row.instance})), "1;", "MeshMaterialList {"),
            std::vector<std::string>{row.face});
    }
}

TEST(WriteMesh, KindOneSwapsAxesAndWindings) {
    ConstructionModel model = model_of({point_at(1, 2, 3), point_at(4, 5, 6), point_at(7, 8, 9)}, {{0, 1, 2}},
                                       {scaled(1, 1, 1), scaled(-1, 1, 1)});
    model.kind = kKindOther;
    const std::string text = written(model);
    EXPECT_EQ(
        section(text, "6;", "2;"),
        (std::vector<std::string>{"1.000000; -3.000000; -2.000000;,", "4.000000; -6.000000; -5.000000;,",
                                  "7.000000; -9.000000; -8.000000;,", "-1.000000; -3.000000; -2.000000;,",
                                  "-4.000000; -6.000000; -5.000000;,", "-7.000000; -9.000000; -8.000000;,"}));
    EXPECT_EQ(section(text, "2;", "MeshMaterialList {"),
              (std::vector<std::string>{"3;  0,1,2;,", "3;  5,4,3;,"}));
}

TEST(WriteMesh, MeshNameDefaultsToMainMesh) {
    const ConstructionModel model = model_of(kTriangle, {{0, 1, 2}});
    EXPECT_EQ(written(model).substr(0, 18), "Mesh Main_Mesh {\r\n");
    EXPECT_EQ(written(model, "").substr(0, 18), "Mesh Main_Mesh {\r\n");
    EXPECT_EQ(written(model, "Haus").substr(0, 13), "Mesh Haus {\r\n");
}

// Random points, faces of three to seven points and instances (some
// rotated, some mirrored): the same model for the same seed.
ConstructionModel random_model(unsigned seed, int points, int faces, int instances) {
    std::mt19937 random(seed);
    const auto pick = [&](int low, int high) {
        return low + static_cast<int>(random() % unsigned(high - low + 1));
    };
    std::vector<PointRecord> records;
    for (int k = 0; k < points; ++k) {
        records.push_back(point_at(pick(-30000, 30000), pick(-30000, 30000), pick(-30000, 30000),
                                   pick(0, 255), 0, pick(0, 3) * 80, pick(0, 2),
                                   static_cast<float>(pick(0, 64)) / 64, 0.5f));
    }
    std::vector<std::vector<int>> indices(static_cast<std::size_t>(faces));
    for (std::vector<int>& face : indices) {
        for (int n = pick(3, 7); n > 0; --n) {
            face.push_back(pick(0, points - 1));
        }
    }
    std::vector<InstanceRecord> placements;
    for (int j = 0; j < instances; ++j) {
        placements.push_back(instance_of(pick(0, 3) == 0 ? -1.0f : 1.5f, 1, 1, pick(0, 1) * 15.5, 0,
                                         pick(0, 2) * 30.0, j * 1000, 0, -j));
    }
    return model_of(records, indices, placements);
}

TEST(WriteMesh, GivesTheSameBytesOnAnyNumberOfThreads) {
    std::vector<ConstructionModel> models = {random_model(1, 20000, 5000, 5), random_model(2, 32767, 300, 1),
                                             random_model(3, 40, 12000, 9)};
    for (const std::filesystem::path& input : corpus_inputs()) {
        ConsoleCapture quiet;
        load(models.emplace_back(), input.string());
    }
    for (const ConstructionModel& model : models) {
        const std::string one_thread = written(model, nullptr, 1);
        for (const unsigned threads : {2u, 3u, 8u}) {
            EXPECT_TRUE(written(model, nullptr, threads) == one_thread) << threads << " threads";
        }
    }
}

}  // namespace
}  // namespace kon2x::test
