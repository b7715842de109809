// Fuzz target: load, then write every model a reader accepts into a memory sink.
#include <new>

#include "export/mesh_writer.hpp"
#include "fuzz_input.hpp"
#include "loading/loader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kon2x::fuzz::silence_console();
    std::FILE* file = kon2x::fuzz::open_bytes(data, size);
    kon2x::ConstructionModel model;
    model.source_name = "fuzz";
    kon2x::load_stream(model, file);
    std::fclose(file);
    if (model.loaded == 1) {
        // Kind 1 is refused by the driver, but the writer handles it too.
        kon2x::OutputBuffer sink;
        kon2x::write_mesh(model, sink, nullptr);
        sink.flush();
    }
    return 0;
}
