// The output formats of the converters.
#include "driver/output_formats.hpp"

#include "console/console.hpp"
#include "export/writers/drawing_plan.hpp"
#include "export/writers/dxf_writer.hpp"
#include "export/writers/gltf_writer.hpp"
#include "export/writers/mesh_writer.hpp"
#include "export/writers/svg_writer.hpp"

namespace kon2x {

namespace {

std::string write_directx_mesh(const ConstructionModel& model, OutputBuffer& out, unsigned threads) {
    out.write("xof 0302txt 0064\r\n");
    write_mesh(MeshPlan(model), out, nullptr, threads);
    return {};
}

std::string write_gltf_binary(const ConstructionModel& model, OutputBuffer& out, unsigned) {
    return unplaced_note(write_gltf(MeshPlan(model), out));
}

std::string write_svg_drawing(const ConstructionModel& model, OutputBuffer& out, unsigned) {
    write_svg(DrawingPlan(model), out);
    return {};
}

std::string write_dxf_drawing(const ConstructionModel& model, OutputBuffer& out, unsigned) {
    write_dxf(DrawingPlan(model), out);
    return {};
}

}  // namespace

std::string unplaced_note(int unplaced) {
    return unplaced > 0 ? format_message("Nicht darstellbare Instanzen: %d\n", unplaced) : std::string();
}

const OutputFormat kDirectXMesh{".x", write_directx_mesh};
const OutputFormat kGltfBinary{".glb", write_gltf_binary};
const OutputFormat kSvgDrawing{".svg", write_svg_drawing};
const OutputFormat kDxfDrawing{".dxf", write_dxf_drawing};

const OutputFormat* converter_format(std::string_view program) {
    const struct {
        std::string_view name;
        const OutputFormat* format;
    } converters[] = {{"kon2x", &kDirectXMesh},
                      {"kon2gltf", &kGltfBinary},
                      {"kon2svg", &kSvgDrawing},
                      {"kon2dxf", &kDxfDrawing}};
    for (const auto& converter : converters) {
        if (program == converter.name) {
            return converter.format;
        }
    }
    return nullptr;
}

}  // namespace kon2x
