// Fuzz target: format detection and whichever reader it picks, on arbitrary bytes.
#include "fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kon2x::fuzz::silence_console();
    kon2x::ConstructionModel model;
    kon2x::test::read_bytes(model, kon2x::fuzz::bytes_of(data, size));
    return 0;
}
