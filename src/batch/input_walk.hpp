// Finding kon2batch's inputs: the files given, and every file in the folders
// given and their subfolders, told apart from other files by their first bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kon2x {

struct BatchInput {
    // As it is opened and as the messages name it: the PATH given, joined
    // with the path below it.
    std::string path;
    // Below the PATH it was found under; its file name where the PATH is the file.
    std::string relative;
};

struct InputWalk {
    // In the order of the PATHs given, each folder's entries sorted by name.
    std::vector<BatchInput> inputs;
    // Files that are not construction files.
    std::size_t skipped = 0;
    // One line for each folder or file that could not be read.
    std::vector<std::string> unreadable;
    // Temporary files of earlier runs (see temporary_names.hpp).
    std::vector<std::string> temporaries;
};

// Walks the PATHs. Symbolic links to folders are not followed; a file is
// read no further than its first four bytes. A file reached twice (given
// twice, or as a file and inside a folder given) is taken once; the file
// `excluded` (the report) never.
InputWalk find_inputs(const std::vector<std::string>& paths, const std::string& excluded = "");

// The temporary files of earlier runs in `folder` and its subfolders.
std::vector<std::string> find_temporaries(const std::string& folder);

enum class FileKind { construction, other, unreadable };

// A construction file begins with "KON" in any case (text), or with an
// archive's version id, 2880 or 5760, as a little-endian int32.
FileKind file_kind(const std::string& path);

}  // namespace kon2x
