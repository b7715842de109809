// Shared by the fuzz targets: a silent console and the input read as a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "console/console.hpp"
#include "support/read_bytes.hpp"

namespace kon2x::fuzz {

// No one answers the prompts and no one reads the messages.
inline void silence_console() {
    console() = ConsoleStreams{nullptr, nullptr, nullptr};
}

inline std::string_view bytes_of(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace kon2x::fuzz
