// Fuzz target: the text construction reader and the line derivation.
#include "fuzz_input.hpp"
#include "loading/line_derivation.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kon2x::fuzz::silence_console();
    kon2x::ConstructionModel model;
    if (kon2x::test::read_bytes(model, kon2x::fuzz::bytes_of(data, size), kon2x::test::Reader::text) == 1) {
        kon2x::derive_lines(model);
    }
    return 0;
}
