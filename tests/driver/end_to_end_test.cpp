// The same model as a text file and as a binary archive converts to the same .x bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/archive_builder.hpp"
#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

struct Model {
    std::vector<ArchivePoint> points;
    FaceGroups faces;
    std::vector<InstanceRecord> instances;
};

std::string number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The text form; faces in the archive's group order.
std::string as_text(const Model& model) {
    std::string text = "KON;KRUV\nX\n";
    for (const ArchivePoint& p : model.points) {
        text += std::to_string(p.x) + ";" + std::to_string(p.y) + ";" + std::to_string(p.z) + ";" +
                std::to_string(p.red) + ";" + std::to_string(p.green) + ";" + std::to_string(p.blue) + ";" +
                std::to_string(p.texture) + ";" + number(p.u) + ";" + number(p.v) + "\n";
    }
    text += "Flaechen\n";
    const auto face_lines = [&](const std::vector<std::vector<int>>& faces) {
        for (const auto& face : faces) {
            for (std::size_t i = 0; i < face.size(); ++i) {
                if (i > 0) {
                    text += ";";
                }
                text += std::to_string(face[i]);
            }
            text += "\n";
        }
    };
    for (int single : model.faces.singles) {
        text += std::to_string(single) + "\n";
    }
    face_lines(model.faces.twos);
    face_lines(model.faces.triangles);
    face_lines(model.faces.quads);
    face_lines(model.faces.polygons);
    text += "ScalX\n";
    for (const InstanceRecord& i : model.instances) {
        text += number(i.scale_x) + ";" + number(i.scale_y) + ";" + number(i.scale_z) + ";" +
                number(i.rot_x) + ";" + number(i.rot_y) + ";" + number(i.rot_z) + ";" + std::to_string(i.x) +
                ";" + std::to_string(i.y) + ";" + std::to_string(i.z) + "\n";
    }
    return text;
}

std::string as_archive(const Model& model) {
    ArchiveContents contents;
    contents.points = model.points;
    contents.faces(model.faces);
    contents.instances = model.instances;
    contents.lines = {LineRecord{0, 0, 1, 1, 1.5}};
    return build_archive(contents).bytes;
}

InstanceRecord instance(float sx, float sy, float sz, double rx, double ry, double rz, int x, int y, int z) {
    InstanceRecord i;
    i.scale_x = sx;
    i.scale_y = sy;
    i.scale_z = sz;
    i.rot_x = rx;
    i.rot_y = ry;
    i.rot_z = rz;
    i.x = x;
    i.y = y;
    i.z = z;
    return i;
}

std::vector<Model> models() {
    std::vector<Model> list;
    Model triangle;
    triangle.points = {archive_point(0, 0, 0, 255, 0, 0, 0, 0, 0),
                       archive_point(100, 0, 0, 255, 0, 0, 0, 1, 0),
                       archive_point(0, 100, 0, 0, 128, 255, 7, 0, 1)};
    triangle.faces.triangles = {{0, 1, 2}};
    triangle.instances = {instance(1, 1, 1, 0, 0, 0, 10, 20, 30)};
    list.push_back(triangle);

    Model house;
    for (int i = 0; i < 10; ++i) {
        house.points.push_back(archive_point(i * 10 - 40, (i % 3) * 25, (i % 4) * -15, i * 20, 200 - i * 7,
                                             80, i % 3 == 0 ? 12 : 0, static_cast<float>(i) / 8,
                                             1.0f - static_cast<float>(i) / 16));
    }
    house.faces = {{9},
                   {{0, 9}},
                   {{0, 1, 2}, {2, 1, 3}},
                   {{4, 5, 6, 7}, {1, 2, 6, 5}},
                   {{0, 1, 5, 8, 4}, {3, 7, 9, 6, 2, 1}, {8, 9, 4}},
                   {}};
    house.instances = {instance(1, 1, 1, 0, 0, 0, 0, 0, 0), instance(-1, 1, 1, 0, 30.5, 0, 250, 0, 0),
                       instance(1, -1, -1, 15, 45, 60, -7, 8, 9), instance(0.5f, 2, -3, 90, 0, 0, 1, 2, 3)};
    list.push_back(house);

    Model many;
    for (int i = 0; i < 200; ++i) {
        many.points.push_back(
            archive_point((i * 7919) % 2001 - 1000, (i * 104729) % 3001 - 1500, i, i % 5 * 60, 0, i % 2 * 255,
                          i % 7, static_cast<float>(i % 17) / 16, static_cast<float>(i % 9) / 128));
    }
    for (int t = 0; t + 2 < 200; t += 3) {
        many.faces.triangles.push_back({t, t + 1, t + 2});
    }
    many.faces.polygons = {{0, 10, 20, 30, 40, 50, 60}, {199, 198, 197, 196}};
    for (int j = 0; j < 6; ++j) {
        many.instances.push_back(
            instance(j % 2 ? -1.5f : 1.25f, 1, j % 3 ? 1 : -1, j * 10.0, 0, j * -20.0, j, -j, 0));
    }
    list.push_back(many);
    return list;
}

TEST(EndToEnd, TextAndArchiveGiveTheSameMesh) {
    TempDir dir;
    for (const Model& model : models()) {
        dir.write("text.kon", as_text(model));
        dir.write("archive.bin", as_archive(model));
        const RunResult text = run_kon2x(dir.path(), {"text.kon"}, "");
        const RunResult archive = run_kon2x(dir.path(), {"archive.bin"}, "");
        ASSERT_EQ(text.status, 0) << text.out;
        ASSERT_EQ(archive.status, 0) << archive.out;
        const std::string from_text = read_file(dir.path() / "text.x");
        EXPECT_GT(from_text.size(), 500u);
        EXPECT_EQ(from_text, read_file(dir.path() / "archive.x"));
    }
}

TEST(EndToEnd, BrokenArchiveShowsEveryMessageWithItsPrompt) {
    TempDir dir;
    ArchiveContents contents;
    contents.points.resize(2);
    Archive archive = build_archive(contents);
    archive.put_word("points.sep1", 0x8002);
    dir.write("broken.kon2", archive.bytes);
    const RunResult run = run_kon2x(dir.path(), {"broken.kon2"}, "\n\n\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "I: -32766 S: -32767\nFormatfehler 12!\nReturn->EOF not found!Return->--> ");
    EXPECT_EQ(run.err, "broken.kon2 ist fehlerhaft\n");
}

TEST(EndToEnd, ArchiveWithTrailingBytesStillConverts) {
    TempDir dir;
    dir.write("t.bin", smallest_archive() + "\n");
    const RunResult run = run_kon2x(dir.path(), {"t.bin"}, "\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "EOF not found!Return->");
    EXPECT_EQ(read_file(dir.path() / "t.x"), "xof 0302txt 0064\r\n");
}

TEST(EndToEnd, KindOneArchiveIsRefused) {
    TempDir dir;
    ArchiveContents contents;
    contents.version = 5760;
    dir.write("k1.bin", build_archive(contents).bytes);
    const RunResult run = run_kon2x(dir.path(), {"k1.bin"}, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "--> ");
    EXPECT_EQ(run.err, "k1.bin ist fehlerhaft\n");
}

}  // namespace
}  // namespace kon2x::test
