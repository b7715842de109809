// Names derived from paths: the program's file name and the output file name.
#pragma once

#include <string>
#include <string_view>

namespace kon2x {

// The part of a path after its last '\\' or '/' (the whole path if it has none).
std::string_view file_name_of(std::string_view path);

// The input path with the extension of its last component cut off, followed
// by `extension` (".x"). A dot in a directory name is never taken for one.
std::string output_name_for(std::string_view input_path, std::string_view extension);

}  // namespace kon2x
