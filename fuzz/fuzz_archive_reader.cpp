// Fuzz target: the binary archive reader with its face-index stream.
#include "fuzz_input.hpp"
#include "loading/archive_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kon2x::fuzz::silence_console();
    std::FILE* file = kon2x::fuzz::open_bytes(data, size);
    kon2x::ConstructionModel model;
    model.source_name = "fuzz";
    kon2x::read_archive(model, file);
    std::fclose(file);
    return 0;
}
