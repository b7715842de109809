// Fuzz target: format detection and whichever reader it picks, on arbitrary bytes.
#include "fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kon2x::fuzz::silence_console();
    kon2x::fuzz::load_bytes(data, size);
    return 0;
}
