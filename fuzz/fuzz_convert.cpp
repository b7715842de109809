// Fuzz target: load, then write every model a reader accepts as a .x mesh, as
// glTF and its drawing as SVG and DXF, all into memory sinks.
#include "export/writers/dxf_writer.hpp"
#include "export/writers/gltf_writer.hpp"
#include "export/writers/mesh_writer.hpp"
#include "export/writers/svg_writer.hpp"
#include "fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kon2x::fuzz::silence_console();
    kon2x::ConstructionModel model;
    if (kon2x::test::read_bytes(model, kon2x::fuzz::bytes_of(data, size)) == 1) {
        // Kind 1 is refused by the driver, but the writers handle it too.
        // One input in eight formats on every core; the others on this thread,
        // which is what nearly every input needs and much cheaper to start.
        const unsigned threads = size % 8 == 0 ? 0 : 1;
        kon2x::OutputBuffer mesh;
        kon2x::write_mesh(kon2x::MeshPlan(model), mesh, nullptr, threads);
        mesh.flush();
        kon2x::OutputBuffer gltf;
        kon2x::write_gltf(kon2x::MeshPlan(model), gltf);
        gltf.flush();
        kon2x::OutputBuffer drawing;
        kon2x::write_svg(kon2x::DrawingPlan(model), drawing);
        kon2x::write_dxf(kon2x::DrawingPlan(model), drawing);
        drawing.flush();
    }
    return 0;
}
