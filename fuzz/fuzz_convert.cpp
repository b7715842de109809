// Fuzz target: load, then write every model a reader accepts into a memory sink.
#include "export/mesh_writer.hpp"
#include "fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kon2x::fuzz::silence_console();
    const kon2x::ConstructionModel model = kon2x::fuzz::load_bytes(data, size);
    if (model.loaded == 1) {
        // Kind 1 is refused by the driver, but the writer handles it too.
        kon2x::OutputBuffer sink;
        kon2x::write_mesh(model, sink, nullptr);
        sink.flush();
    }
    return 0;
}
