// Fuzz target: the text construction reader and the line derivation.
#include "fuzz_input.hpp"
#include "loading/line_derivation.hpp"
#include "loading/text_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kon2x::fuzz::silence_console();
    std::FILE* file = kon2x::fuzz::open_bytes(data, size);
    kon2x::ConstructionModel model;
    if (kon2x::read_text(model, file) == 1) {
        kon2x::derive_lines(model);
    }
    std::fclose(file);
    return 0;
}
