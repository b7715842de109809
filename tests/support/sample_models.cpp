// The sample construction files.
#include "support/sample_models.hpp"

#include "support/test_support.hpp"

namespace kon2x::test {

std::vector<SampleFile> sample_text_files() {
    std::vector<SampleFile> files;
    files.push_back({"house", read_file(source_path("examples/house.kon"))});
    files.push_back({"worked1",
                     "KON;KRUV\nX\n0;0;0;255;0;0;0;0;0\n100;0;0;255;0;0;0;1;0\n0;100;0;0;128;255;7;0;1\n"
                     "Flaechen\n0;1;2\nScalX\n1;1;1;0;0;0;10;20;30\n"});
    files.push_back({"worked2",
                     "KON;KRUV\nX\n0;0;0;255;0;0;0;0;0\n100;0;0;255;0;0;0;1;0\n0;100;0;0;128;255;7;0;1\n"
                     "100;100;0;80;80;80;0;1;1\nFlaechen\n0;1;2\n1;3\n1;3;2\nScalX\n1;1;1;0;0;0;0;0;0\n"
                     "-1;1;1;0;0;0;0;0;0\n"});
    std::string grid = "KON;KRUV\nX\n";
    for (int i = 0; i < 64; ++i) {
        grid += std::to_string(i % 8 * 10) + ";" + std::to_string(i / 8 * 10) + ";" + std::to_string(i % 5) +
                ";" + std::to_string(i * 4) + ";" + std::to_string(255 - i) + ";" +
                std::to_string(i % 3 * 100) + ";" + std::to_string(i % 4 == 0 ? i : 0) + ";" +
                std::to_string(i % 8) + ",125;" + std::to_string(i / 8) + ",5;" +
                (i % 9 == 0 ? "1;2;3;4" : "") + "\n";
    }
    grid += "Flaechen\n";
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 7; col += 2) {
            const int a = row * 8 + col;
            grid += std::to_string(a) + ";" + std::to_string(a + 1) + ";" + std::to_string(a + 9) + ";" +
                    std::to_string(a + 8) + "\n";
            grid += std::to_string(a + 1) + ";" + std::to_string(a + 2) + ";" + std::to_string(a + 9) + "\n";
        }
    }
    grid += "0;1;2;3;4;5;6;7\n63;62;61;60;59\n0;63\n5\nScalX\n";
    grid +=
        "1;1;1;0;0;0;0;0;0\n-1;1;1;0;0;90;100;0;0\n1;-1;-1;30;45;60;0;50;0\n2,5;0,5;1;0;180;0;-20;-30;-40\n";
    files.push_back({"grid", grid});
    return files;
}

}  // namespace kon2x::test
