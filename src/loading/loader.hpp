// The one entry into the construction file readers: detects the encoding and reads it.
#pragma once

#include <cstdio>
#include <string>

#include "model/construction_model.hpp"

namespace kon2x {

// Opens `path`, reads it with the reader its first bytes call for (text when
// they are "KON" in any case, else the binary archive) and sets `loaded` to 1
// on success. Reports its own failures ("Can't open %s!\n", "EOF not found!")
// through report_and_wait; the readers report theirs. Running out of memory
// (std::bad_alloc) goes on to the caller, which owns and releases the model.
void load(ConstructionModel& model, const std::string& path);

// The same for a file already open in binary mode at its start (both
// encodings are read from the bytes, text mode being emulated). The caller
// sets `source_name` and closes the file.
void load_stream(ConstructionModel& model, std::FILE* file);

}  // namespace kon2x
