// The output formats of the converters.
#include "driver/output_formats.hpp"

#include "export/mesh_writer.hpp"

namespace kon2x {

namespace {

std::string write_directx_mesh(const ConstructionModel& model, OutputBuffer& out) {
    out.write("xof 0302txt 0064\r\n");
    write_mesh(model, out, nullptr);
    return {};
}

}  // namespace

const OutputFormat kDirectXMesh{".x", write_directx_mesh};

}  // namespace kon2x
