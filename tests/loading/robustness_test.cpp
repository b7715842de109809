// Sweeps over damaged inputs and the largest models: every input either loads
// or is refused with a message, with no sanitizer report.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/archive_builder.hpp"
#include "support/model_builder.hpp"
#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

bool loads_or_is_refused(const std::string& bytes, ConstructionModel* out = nullptr) {
    Loaded loaded = load_captured(bytes);
    const bool refused_with_message =
        loaded.model.loaded == 0 && loaded.console.find("Return->") != std::string::npos;
    if (out != nullptr) {
        *out = std::move(loaded.model);
        return true;
    }
    return loaded.model.loaded == 1 || refused_with_message;
}

std::vector<std::string> small_archives() {
    ArchiveContents contents;
    for (int i = 0; i < 5; ++i) {
        ArchivePoint p;
        p.x = i;
        p.red = static_cast<std::uint8_t>(i * 50);
        p.marker = i == 2 ? kExtrasMarker : 0;
        p.extras = {{1, 2, 3, 4}};
        contents.points.push_back(p);
    }
    contents.faces({{4}, {{0, 1}}, {{0, 1, 2}}, {{0, 1, 2, 3}}, {{0, 1, 2, 3, 4}}, {}});
    contents.instances.resize(2);
    contents.lines = {LineRecord{1, 2, 3, 4, 5.0}};
    contents.dimension_lines = {LineRecord{1, 2, 3, 4, 5.0}, LineRecord{}};
    ArchiveContents kind1 = contents;
    kind1.version = 5760;
    ArchiveContents long_separators = contents;
    long_separators.instances.resize(3);
    long_separators.instance_separators = {{0x7FFF, 0xDD7D, 0}, {1, 2, 3}};
    return {smallest_archive(), build_archive(contents).bytes, build_archive(kind1).bytes,
            build_archive(long_separators).bytes};
}

TEST(Robustness, SurvivesEveryPrefix) {
    std::vector<std::string> inputs = small_archives();
    for (const std::filesystem::path& input : corpus_inputs()) {
        if (input.extension() == ".kon") {
            inputs.push_back(read_file(input));
        }
    }
    for (const std::string& input : inputs) {
        for (std::size_t length = 0; length <= input.size(); ++length) {
            ASSERT_TRUE(loads_or_is_refused(input.substr(0, length))) << length;
        }
    }
}

TEST(Robustness, SurvivesEverySingleByteChange) {
    for (const std::string& archive : small_archives()) {
        for (std::size_t at = 0; at < archive.size(); ++at) {
            const auto original = static_cast<unsigned char>(archive[at]);
            for (const unsigned value : {0x00u, 0xFFu, (original + 1u) & 0xFFu}) {
                std::string changed = archive;
                changed[at] = static_cast<char>(value);
                ASSERT_TRUE(loads_or_is_refused(changed)) << at << " = " << value;
            }
        }
    }
}

std::vector<std::string> repeated(const std::string& line, int times) {
    return std::vector<std::string>(static_cast<std::size_t>(times), line);
}

TEST(Robustness, LoadsTheLargestModelsTheCountsAllow) {
    ConstructionModel model;
    std::vector<std::string> points;
    for (int i = 0; i < 32767; ++i) {
        points.push_back(std::to_string(i) + ";" + std::to_string(-i) + ";0");
    }
    loads_or_is_refused(kon_file(points, repeated("0;1;2", 32767), {"1;1;1;0;0;0;0;0;0"}), &model);
    EXPECT_EQ(model.loaded, 1);
    EXPECT_EQ(model.point_count, 32767);
    EXPECT_EQ(model.face_count, 32767);
    EXPECT_EQ(model.line_count, 0);  // all faces share one triangle's edges
    EXPECT_EQ(model.dashed_line_count, 3);

    loads_or_is_refused(
        kon_file({"0;0;0", "1;0;0", "2;1;0"}, {"0;1;2"}, repeated("1;1;1;0;0;0;0;0;0", 32767)), &model);
    EXPECT_EQ(model.loaded, 1);
    EXPECT_EQ(model.instance_count, 32767);
}

TEST(Robustness, AFaceLineOf100000IndicesArrivesAsPiecesOf1023Characters) {
    std::string face = "0";
    for (int i = 1; i < 100000; ++i) {
        face += ';';
        face += std::to_string(i % 3);
    }
    ConstructionModel model;
    loads_or_is_refused(kon_file({"0;0;0", "1;0;0", "2;1;0"}, {face}), &model);
    ASSERT_EQ(model.loaded, 1);
    // Each piece is a face of its own; together they hold every index once.
    std::size_t indices = 0;
    for (const FaceRecord& piece : model.valid_faces()) {
        indices += static_cast<std::size_t>(piece.vertex_count);
    }
    EXPECT_EQ(indices, 100000u);
    EXPECT_EQ(model.face_count, static_cast<int>((face.size() + 1 + 1022) / 1023));
}

}  // namespace
}  // namespace kon2x::test
