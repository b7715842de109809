// The one way that tests and fuzz targets read bytes into a model.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "loading/archive_reader.hpp"
#include "loading/loader.hpp"
#include "loading/text_reader.hpp"

namespace kon2x::test {

// A binary stream of exactly these bytes, at its start; the caller closes it.
inline std::FILE* stream_of(std::string_view bytes) {
#if defined(_WIN32)
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
#else
    // fmemopen refuses an empty buffer; an empty temporary file serves then.
    return bytes.empty() ? std::tmpfile() : fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
#endif
}

enum class Reader { loader, text, archive };

// Reads the bytes into `model` as a file named "A" (so the archive reader's
// messages read "in A"): with the loader (format detection, line derivation,
// the end-of-file test) or with one reader alone. Returns 1 when the model was
// read in full (the loader and the archive reader: `loaded`), else 0. Messages
// go to the current console.
inline int read_bytes(ConstructionModel& model, std::string_view bytes, Reader reader = Reader::loader) {
    std::FILE* file = stream_of(bytes);
    model.source_name = std::string(1, 'A');  // a move: GCC 12 warns wrongly about assigning "A"
    int result = 0;
    if (reader == Reader::text) {
        result = read_text(model, file);
    } else {
        reader == Reader::loader ? load_stream(model, file) : read_archive(model, file);
        result = model.loaded;
    }
    std::fclose(file);
    return result;
}

}  // namespace kon2x::test
