// The same model as a text file and as a binary archive converts to the same .x bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/model_builder.hpp"
#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

std::vector<ConstructionModel> models() {
    std::vector<ConstructionModel> list;
    list.push_back(model_of({point_at(0, 0, 0, 255, 0, 0, 0, 0, 0), point_at(100, 0, 0, 255, 0, 0, 0, 1, 0),
                             point_at(0, 100, 0, 0, 128, 255, 7, 0, 1)},
                            {{0, 1, 2}}, {instance_of(1, 1, 1, 0, 0, 0, 10, 20, 30)}));

    std::vector<PointRecord> house;
    for (int i = 0; i < 10; ++i) {
        house.push_back(point_at(i * 10 - 40, (i % 3) * 25, (i % 4) * -15, i * 20, 200 - i * 7, 80,
                                 i % 3 == 0 ? 12 : 0, static_cast<float>(i) / 8,
                                 1.0f - static_cast<float>(i) / 16));
    }
    list.push_back(model_of(
        house,
        {{9},
         {0, 9},
         {0, 1, 2},
         {2, 1, 3},
         {4, 5, 6, 7},
         {1, 2, 6, 5},
         {0, 1, 5, 8, 4},
         {3, 7, 9, 6, 2, 1},
         {8, 9, 4}},
        {instance_of(1, 1, 1, 0, 0, 0, 0, 0, 0), instance_of(-1, 1, 1, 0, 30.5, 0, 250, 0, 0),
         instance_of(1, -1, -1, 15, 45, 60, -7, 8, 9), instance_of(0.5f, 2, -3, 90, 0, 0, 1, 2, 3)}));

    std::vector<PointRecord> many;
    std::vector<std::vector<int>> faces;
    for (int i = 0; i < 200; ++i) {
        many.push_back(point_at((i * 7919) % 2001 - 1000, (i * 104729) % 3001 - 1500, i, i % 5 * 60, 0,
                                i % 2 * 255, i % 7, static_cast<float>(i % 17) / 16,
                                static_cast<float>(i % 9) / 128));
    }
    for (int t = 0; t + 2 < 200; t += 3) {
        faces.push_back({t, t + 1, t + 2});
    }
    faces.push_back({0, 10, 20, 30, 40, 50, 60});
    faces.push_back({199, 198, 197, 196});
    std::vector<InstanceRecord> instances;
    for (int j = 0; j < 6; ++j) {
        instances.push_back(
            instance_of(j % 2 ? -1.5f : 1.25f, 1, j % 3 ? 1 : -1, j * 10.0, 0, j * -20.0, j, -j, 0));
    }
    list.push_back(model_of(many, faces, instances));
    return list;
}

TEST(EndToEnd, TextAndArchiveGiveTheSameMesh) {
    TempDir dir;
    for (ConstructionModel& model : models()) {
        model.lines = {LineRecord{0, 0, 1, 1, 1.5}};
        dir.write("text.kon", text_of(model));
        dir.write("archive.bin", archive_of(model));
        const RunResult text = run_kon2x(dir.path(), {"text.kon"}, "");
        const RunResult archive = run_kon2x(dir.path(), {"archive.bin"}, "");
        ASSERT_EQ(text.status, 0) << text.out;
        ASSERT_EQ(archive.status, 0) << archive.out;
        const std::string from_text = read_file(dir.path() / "text.x");
        EXPECT_GT(from_text.size(), 500u);
        EXPECT_EQ(from_text, read_file(dir.path() / "archive.x"));
    }
}

}  // namespace
}  // namespace kon2x::test
