// kon2: every program of the family in one WebAssembly module, for the page.
// The name it is started under, argv[0], chooses the program.
#include <cstdio>
#include <string_view>

#include "driver/driver.hpp"
#include "driver/model_summary.hpp"

int main(int argc, char** argv) {
    const std::string_view name = argc > 0 ? argv[0] : "";
    if (name == "kon2info" || name == "kon2counts") {
        return kon2x::convert_with_summary(argc, argv, name == "kon2counts");
    }
    if (const kon2x::OutputFormat* format = kon2x::converter_format(name)) {
        return kon2x::run_converter(argc, argv, *format);
    }
    std::fputs("kon2: start it as kon2x, kon2gltf, kon2svg, kon2dxf, kon2info or kon2counts\n", stderr);
    return 1;
}
