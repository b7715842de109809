// The worked examples of the output format, converted by the real program and
// compared byte for byte, CR LF included.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

// The literal lines joined with CR LF.
std::string crlf(std::initializer_list<const char*> rows) {
    std::string text;
    for (const char* row : rows) {
        text += row;
        text += "\r\n";
    }
    return text;
}

const char* const kRedMaterial[] = {"Material {",
                                    "\t1.000000; 0.000000; 0.000000; 1.00000;;",
                                    "\t0.000000;",
                                    "\t0.000000; 0.000000; 0.000000;;",
                                    "\t0.000000; 0.000000; 0.000000;;",
                                    "} // Material"};

std::string convert(const std::string& text) {
    TempDir dir;
    dir.write("model.kon", text);
    const RunResult run = run_kon2x(dir.path(), {"model.kon"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out + run.err, "");
    return read_file(dir.path() / "model.x");
}

TEST(WorkedExamples, OneTriangleOneInstance) {
    const std::string input =
        "KON;KRUV\nX\n0;0;0;255;0;0;0;0;0\n100;0;0;255;0;0;0;1;0\n0;100;0;0;128;255;7;0;1\n"
        "Flaechen\n0;1;2\nScalX\n1;1;1;0;0;0;10;20;30\n";
    const std::string expected = crlf({
        "xof 0302txt 0064",
        "Mesh Main_Mesh {",
        "3;",
        "10.000000; -20.000000; 30.000000;,",
        "110.000000; -20.000000; 30.000000;,",
        "10.000000; -120.000000; 30.000000;,",
        "1;",
        "3;  2,1,0;,",
        "MeshMaterialList {",
        "2;",
        "1;",
        "1;;",
        kRedMaterial[0],
        kRedMaterial[1],
        kRedMaterial[2],
        kRedMaterial[3],
        kRedMaterial[4],
        kRedMaterial[5],
        "Material {",
        "\t0.000000; 0.501961; 1.000000; 1.00000;;",
        "\t0.000000;",
        "\t0.000000; 0.000000; 0.000000;;",
        "\t0.000000; 0.000000; 0.000000;;",
        "\tTextureFilename {",
        "\t\t\"0007.dds\";",
        "\t}",
        "} // Material",
        "} // MeshMaterialList",
        "MeshTextureCoords {",
        "3;",
        "0.000000; 0.000000;",
        "1.000000; 0.000000;",
        "0.000000; 1.000000;",
        "} // MeshTextureCoords",
        "} // Mesh",
    });
    EXPECT_EQ(convert(input), expected);
}

TEST(WorkedExamples, MirroredInstanceAndSkippedElements) {
    const std::string input =
        "KON;KRUV\nX\n0;0;0;255;0;0;0;0;0\n100;0;0;255;0;0;0;1;0\n0;100;0;0;128;255;7;0;1\n"
        "100;100;0;80;80;80;0;1;1\nFlaechen\n0;1;2\n1;3\n1;3;2\nScalX\n1;1;1;0;0;0;0;0;0\n-1;1;1;0;0;0;0;0;"
        "0\n";
    const std::string expected = crlf({
        "xof 0302txt 0064",
        "Mesh Main_Mesh {",
        "8;",
        "0.000000; 0.000000; 0.000000;,",
        "100.000000; 0.000000; 0.000000;,",
        "0.000000; -100.000000; 0.000000;,",
        "100.000000; -100.000000; 0.000000;,",
        "0.000000; 0.000000; 0.000000;,",
        "-100.000000; 0.000000; 0.000000;,",
        "0.000000; -100.000000; 0.000000;,",
        "-100.000000; -100.000000; 0.000000;,",
        "4;",
        "3;  2,1,0;,",
        "3;  2,3,1;,",
        "3;  4,5,6;,",
        "3;  5,7,6;,",
        "MeshMaterialList {",
        "3;",
        "4;",
        "1,",
        "1,",
        "1,",
        "1;;",
        kRedMaterial[0],
        kRedMaterial[1],
        kRedMaterial[2],
        kRedMaterial[3],
        kRedMaterial[4],
        kRedMaterial[5],
        "Material {",
        "\t0.000000; 0.501961; 1.000000; 1.00000;;",
        "\t0.000000;",
        "\t0.000000; 0.000000; 0.000000;;",
        "\t0.000000; 0.000000; 0.000000;;",
        "\tTextureFilename {",
        "\t\t\"0007.dds\";",
        "\t}",
        "} // Material",
        "Material {",
        "\t0.313726; 0.313726; 0.313726; 1.00000;;",
        "\t0.000000;",
        "\t0.000000; 0.000000; 0.000000;;",
        "\t0.000000; 0.000000; 0.000000;;",
        "} // Material",
        "} // MeshMaterialList",
        "MeshTextureCoords {",
        "8;",
        "0.000000; 0.000000;",
        "1.000000; 0.000000;",
        "0.000000; 1.000000;",
        "1.000000; 1.000000;",
        "0.000000; 0.000000;",
        "1.000000; 0.000000;",
        "0.000000; 1.000000;",
        "1.000000; 1.000000;",
        "} // MeshTextureCoords",
        "} // Mesh",
    });
    EXPECT_EQ(convert(input), expected);
}

}  // namespace
}  // namespace kon2x::test
