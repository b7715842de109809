// Running out of memory while loading and while writing, by injection: the
// messages, the status and no output file left behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/driver.hpp"
#include "support/failure_injection.hpp"
#include "support/model_builder.hpp"
#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * kKiB;

// `points` lines "k;k;-k", a triangle on every three, `instances` plain instances.
std::string model_file(int points, int instances) {
    std::vector<std::string> point_lines;
    std::vector<std::string> face_lines;
    for (int k = 0; k < points; ++k) {
        point_lines.push_back(std::to_string(k) + ";" + std::to_string(k) + ";" + std::to_string(-k));
        if (k % 3 == 2) {
            face_lines.push_back(std::to_string(k - 2) + ";" + std::to_string(k - 1) + ";" +
                                 std::to_string(k));
        }
    }
    return kon_file(point_lines, face_lines, std::vector<std::string>(instances, "1;1;1;0;0;0;0;0;0"));
}

TEST(OutOfMemory, IsReportedAsLoadingOrWritingRanOut) {
    const std::string kLoading = "Zu wenig Speicher!\nReturn->--> ";
    const std::string kWriting = "Zu wenig Speicher!\nReturn->";
    const struct {
        const char* what;
        const OutputFormat& format;
        std::string input;
        std::size_t low, high;  // the sizes of the allocations that fail
        std::string out;
        bool refused;  // "ist fehlerhaft" follows
    } rows[] = {
        {"the point array", kDirectXMesh, model_file(30000, 1), 2 * kMiB, SIZE_MAX, kLoading, true},
        {"the point array", kGltfBinary, model_file(30000, 1), 2 * kMiB, SIZE_MAX, kLoading, true},
        {"the output buffer", kDirectXMesh, model_file(3, 1), kMiB, SIZE_MAX, kWriting, false},
        {"the output buffer", kGltfBinary, model_file(3, 1), kMiB, SIZE_MAX, kWriting, false},
        {"the point array", kSvgDrawing, model_file(30000, 1), 2 * kMiB, SIZE_MAX, kLoading, true},
        {"the output buffer", kDxfDrawing, model_file(3, 1), kMiB, SIZE_MAX, kWriting, false},
        // Chunks of vertex lines grow beyond 128 KiB while the threads format them.
        {"a formatted chunk", kDirectXMesh, model_file(300, 200), 128 * kKiB, kMiB, kWriting, false},
    };
    for (const auto& row : rows) {
        TempDir dir;
        const std::string input = dir.write("m.kon", row.input);
        const char* argv[] = {"kon2x", input.c_str(), nullptr};
        ConsoleCapture capture("\n\n\n");
        // In a child process: without exceptions, the new_handler ends it.
        EXPECT_EXIT(
            {
                const FailingAllocations failing(row.low, row.high);
                const int status = run_converter(2, argv, row.format);
                std::_Exit(failing.failed() > 0 ? status : 99);
            },
            testing::ExitedWithCode(1), "")
            << row.what;
        EXPECT_EQ(capture.out(), row.out) << row.what;
        EXPECT_EQ(capture.err(), row.refused ? input + " ist fehlerhaft\n" : "") << row.what;
        EXPECT_FALSE(fs::exists(dir.path() / (std::string("m") + row.format.extension))) << row.what;
    }
}

}  // namespace
}  // namespace kon2x::test
