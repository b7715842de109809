// Shared by the fuzz targets: a silent console and the input as a stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "console/console.hpp"
#include "loading/loader.hpp"

namespace kon2x::fuzz {

// No one answers the prompts and no one reads the messages.
inline void silence_console() {
    console() = ConsoleStreams{nullptr, nullptr, nullptr};
}

// The bytes as a read-only binary stream; the caller closes it.
inline std::FILE* open_bytes(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return std::fopen("/dev/null", "rb");
    }
    return fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
}

// Loads the bytes as the program loads a file.
inline ConstructionModel load_bytes(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = open_bytes(data, size);
    ConstructionModel model;
    model.source_name = "fuzz";
    load_stream(model, file);
    std::fclose(file);
    return model;
}

}  // namespace kon2x::fuzz
