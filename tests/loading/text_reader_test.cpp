// Tests of the text construction reader: layout, fields, messages and limits.
#include "loading/text_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/model_builder.hpp"
#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

TEST(TextReader, ReadsTheSmallestFile) {
    ConstructionModel model;
    model.kind = 1;
    EXPECT_EQ(read_captured(model, Reader::text, "KON;KRUV\nX\nFlaechen\nScalX\n"), 1);
    EXPECT_EQ(model.kind, 0);
    EXPECT_EQ(model.point_count, 0);
    EXPECT_EQ(model.face_count, 0);
    EXPECT_EQ(model.instance_count, 0);
    EXPECT_EQ(model.points.size(), 3u);  // the spare records
}

TEST(TextReader, TypeKeywordsAndHeaderCase) {
    const struct {
        const char* first_line;
        std::int32_t kind;
    } rows[] = {
        {"KON;KRUV", 0},         {"kon;kruv", 0}, {"Kon;Kruvxyz", 0}, {"KON;VAQ", 1},
        {"KON;vaq and more", 1}, {"KON KRUV", 0}, {"KON;VAQKRUV", 1},
    };
    for (const auto& row : rows) {
        ConstructionModel model;
        EXPECT_EQ(read_captured(model, Reader::text, std::string(row.first_line) + "\nx\nFLAECHEN\nscalx\n"),
                  1)
            << row.first_line;
        EXPECT_EQ(model.kind, row.kind) << row.first_line;
    }
}

TEST(TextReader, ReportsEachFormatErrorWithItsLineNumber) {
    const struct {
        std::string text;
        std::string message;
    } rows[] = {
        {"KON", "Falsches Kon-Format!\n"},
        {"KON;", "Falsches Kon-Format!\n"},
        {"KON\n", "Falsches Kon-Format!\n"},
        {"KOX;KRUV\n", "Falsches Kon-Format!\n"},
        {"KON;\n", "Falscher Kon-Typ!\n"},
        {"KON;KRU\n", "Falscher Kon-Typ!\n"},
        {"KON;KRUV\n", "Punkteliste nicht gefunden!\n"},
        {"KON;KRUV\n Xyz\n", "Punkteliste nicht gefunden!\n"},
        {"KON;KRUV\nX\n1;2;3\n", "Flaechenliste nicht gefunden!\n"},
        {"KON;KRUV\nX\nFlaeche\n", "Flaechenliste nicht gefunden!\n"},
        {"KON;KRUV\nX\nFlaechen\n0\n", "Instanzen nicht gefunden!\n"},
        {kon_file({"1;2;3", "5;6"}), "falsches Punktformat in Zeile 4!\n"},
        {kon_file({"", ";;", "7"}), "falsches Punktformat in Zeile 5!\n"},
        {kon_file({"   "}), "falsches Punktformat in Zeile 3!\n"},
        {kon_file({" Flaechen"}), "falsches Punktformat in Zeile 3!\n"},
        {kon_file({}, {}, {"1;1;1;0;0;0;0;0;0", ";;", "1;1;1;0;0;0;0;0"}),
         "falsches Instanzformat in Zeile 7!\n"},
        {kon_file({"0;0;0", "1;1;1"}, {"0;1", "1;0;2"}), "Falscher Punkt: 2 in Zeile 7!\n"},
        {kon_file({"0;0;0"}, {"0;-1"}), "Falscher Punkt: -1 in Zeile 5!\n"},
        {kon_file({"0;0;0"}, {"65536;65537"}), "Falscher Punkt: 1 in Zeile 5!\n"},
        {kon_file({"0;0;0"}, {"40000"}), "Falscher Punkt: -25536 in Zeile 5!\n"},
        {kon_file({}, {"abc"}), "Falscher Punkt: 0 in Zeile 4!\n"},
    };
    for (const auto& row : rows) {
        ConstructionModel model;
        std::string out;
        EXPECT_EQ(read_captured(model, Reader::text, row.text, &out), 0) << row.text;
        EXPECT_EQ(out, row.message + "Return->") << row.text;
    }
}

TEST(TextReader, ParsesPointFields) {
    ConstructionModel model;
    ASSERT_EQ(read_captured(model, Reader::text,
                            kon_file({
                                "1;;2;;;3",
                                "1;2;3;;;;7",
                                "0;0;0;255;128;0;12;0,5;1,25",
                                "1,5;-2;3;300;-1;256",
                                "0;0;0;1;2;3;0;0;0;9;10;20;30;8",
                                "0;0;0;1;2;3;4;5;6;7",
                                ";;;",
                                "9;9;9",
                            })),
              1);
    ASSERT_EQ(model.point_count, 7);
    const PointRecord* p = model.points.data();
    EXPECT_EQ((std::vector<int>{p[0].x, p[0].y, p[0].z, p[0].red}), (std::vector<int>{1, 2, 3, 0}));
    EXPECT_EQ(p[1].red, 7);
    EXPECT_EQ(p[1].texture, 0);
    EXPECT_EQ((std::vector<int>{p[2].red, p[2].green, p[2].blue, p[2].texture}),
              (std::vector<int>{255, 128, 0, 12}));
    EXPECT_EQ(p[2].u, 0.5f);
    EXPECT_EQ(p[2].v, 1.25f);
    EXPECT_EQ(p[2].marker, 0);
    EXPECT_EQ((std::vector<int>{p[3].x, p[3].y, p[3].red, p[3].green, p[3].blue}),
              (std::vector<int>{1, -2, 44, 255, 0}));
    ASSERT_EQ(p[4].extra_count, 2);
    ASSERT_EQ(p[4].extras.size(), 2u);
    EXPECT_EQ(
        (std::vector<int>{p[4].extras[0].key, p[4].extras[0].red, p[4].extras[0].green, p[4].extras[0].blue}),
        (std::vector<int>{9, 10, 20, 30}));
    EXPECT_EQ(
        (std::vector<int>{p[4].extras[1].key, p[4].extras[1].red, p[4].extras[1].green, p[4].extras[1].blue}),
        (std::vector<int>{8, 0, 0, 0}));
    EXPECT_EQ(p[4].marker, kExtrasMarker);
    EXPECT_EQ(p[5].v, 6.0f);
    EXPECT_EQ(p[5].extra_count, 1);
    EXPECT_EQ(p[5].extras[0].key, 7);
    EXPECT_EQ(p[6].x, 9);  // the separator-only line took no index
}

TEST(TextReader, ParsesFacesInlineAndOverflow) {
    ConstructionModel model;
    ASSERT_EQ(read_captured(model, Reader::text,
                            kon_file({"0;0;0", "1;0;0", "2;0;0", "3;0;0", "4;0;0", "5;0;0"},
                                     {"0;1;2;3;4;5", "", "5", "4;3", "   "})),
              1);
    ASSERT_EQ(model.face_count, 4);
    const FaceRecord& six = model.faces[0];
    EXPECT_EQ(six.vertex_count, 6);
    EXPECT_EQ(six.overflow_indices.size(), 2u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(six.index(i), i);
    }
    EXPECT_EQ(model.faces[1].vertex_count, 1);
    EXPECT_EQ(model.faces[2].vertex_count, 2);
    EXPECT_EQ(model.faces[2].index(1), 3);
    EXPECT_EQ(model.faces[3].vertex_count, 1);  // spaces only: one field, index 0
    EXPECT_EQ(model.faces[3].index(0), 0);
}

TEST(TextReader, ParsesInstancesInFieldOrder) {
    ConstructionModel model;
    ASSERT_EQ(read_captured(model, Reader::text,
                            kon_file({}, {}, {"2;-1;0,5;30;45,5;60;5;-6;7;99", "", "1;1;1;0;0;0;0;0;0"})),
              1);
    ASSERT_EQ(model.instance_count, 2);
    const InstanceRecord& first = model.instances[0];
    EXPECT_EQ(first.scale_x, 2.0f);
    EXPECT_EQ(first.scale_y, -1.0f);
    EXPECT_EQ(first.scale_z, 0.5f);
    EXPECT_EQ(first.rot_x, 30.0);
    EXPECT_EQ(first.rot_y, 45.5);
    EXPECT_EQ(first.rot_z, 60.0);
    EXPECT_EQ((std::vector<int>{first.x, first.y, first.z}), (std::vector<int>{5, -6, 7}));
}

TEST(TextReader, SectionHeadersFollowTheKeywordRules) {
    ConstructionModel model;
    // "ScalX" in the point section and "Flaechen" in the face section are ordinary lines.
    ASSERT_EQ(
        read_captured(model, Reader::text, "KON;KRUV\nX\nScalX;1;2\nflaechenliste\nFlaechen;0\nSCALX\n"), 1);
    EXPECT_EQ(model.point_count, 1);
    EXPECT_EQ(model.face_count, 1);
    EXPECT_EQ(model.instance_count, 0);
}

TEST(TextReader, LongLinesArriveAsPiecesAndShiftLineNumbers) {
    // A 2000-character point line: two pieces, each a point line of its own.
    std::string first = "1;2;3";
    while (first.size() < 1023) {
        first += ";4";
    }
    first.resize(1023);
    const std::string line = first + "5;6;7" + std::string(2000 - 1028, ';');
    ConstructionModel model;
    ASSERT_EQ(read_captured(model, Reader::text, kon_file({line, "8;9;10"})), 1);
    EXPECT_EQ(model.point_count, 3);
    EXPECT_EQ(model.points[1].x, 5);
    EXPECT_EQ(model.points[2].x, 8);

    std::string out;
    EXPECT_EQ(read_captured(model, Reader::text, kon_file({line, "8;9"}), &out), 0);
    EXPECT_EQ(out, "falsches Punktformat in Zeile 5!\nReturn->");
}

TEST(TextReader, CrLfAndControlZReadLikePlainLineFeeds) {
    std::string text = kon_file({"1;2;3;4;5;6;7;0,5;0,25", ";;;"}, {"0;0;0"}, {"1;1;1;0;0;0;1;2;3"});
    std::string crlf;
    for (char c : text) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    ConstructionModel plain;
    ConstructionModel windows;
    ASSERT_EQ(read_captured(plain, Reader::text, text), 1);
    ASSERT_EQ(read_captured(windows, Reader::text,
                            crlf + "\x1A"
                                   "garbage;line\n"),
              1);
    EXPECT_EQ(windows.point_count, plain.point_count);
    EXPECT_EQ(windows.points[0].v, 0.25f);
    EXPECT_EQ(windows.face_count, 1);
    EXPECT_EQ(windows.instance_count, 1);
    EXPECT_EQ(windows.instances[0].z, 3);
}

TEST(TextReader, CountsBlankAndHeaderLinesInLineNumbers) {
    std::string out;
    ConstructionModel model;
    EXPECT_EQ(read_captured(model, Reader::text, kon_file({"", "0;0;0"}, {"", "0"}, {"", "1;2"}), &out), 0);
    EXPECT_EQ(out, "falsches Instanzformat in Zeile 10!\nReturn->");
}

TEST(TextReader, RefusesMoreRecordsThanTheCountsHold) {
    const struct {
        std::vector<std::string> points, faces, instances;
        std::string message;
    } rows[] = {
        {std::vector<std::string>(32768, "1;2;3"), {}, {}, "Zu viele Punkte in Zeile 32770!\n"},
        {{"0;0;0"}, std::vector<std::string>(32768, "0"), {}, "Zu viele Flaechen in Zeile 32772!\n"},
        {{},
         {},
         std::vector<std::string>(32768, "1;1;1;0;0;0;0;0;0"),
         "Zu viele Instanzen in Zeile 32772!\n"},
    };
    for (const auto& row : rows) {
        ConstructionModel model;
        std::string out;
        EXPECT_EQ(read_captured(model, Reader::text, kon_file(row.points, row.faces, row.instances), &out),
                  0);
        EXPECT_EQ(out, row.message + "Return->");
    }
    ConstructionModel full;
    ASSERT_EQ(read_captured(full, Reader::text, kon_file(std::vector<std::string>(32767, "1;2;3"))), 1);
    EXPECT_EQ(full.point_count, 32767);
}

TEST(TextReader, ManyBlankLinesAllocateNoMoreThanTheLimit) {
    std::string text = "KON;KRUV\nX\n" + std::string(100000, '\n') + "Flaechen\nScalX\n";
    ConstructionModel model;
    ASSERT_EQ(read_captured(model, Reader::text, text), 1);
    EXPECT_EQ(model.points.size(), 32767u + 3u);
}

}  // namespace
}  // namespace kon2x::test
