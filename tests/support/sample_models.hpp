// Construction files of several shapes, as text, shared by the end-to-end checks.
#pragma once

#include <string>
#include <vector>

namespace kon2x::test {

struct SampleFile {
    std::string name;
    std::string text;
};

// The bundled example, the worked examples and a few generated models with
// polygons, rotations, mirrored instances and many materials.
std::vector<SampleFile> sample_text_files();

}  // namespace kon2x::test
