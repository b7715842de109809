// Everything that differs between Windows and POSIX systems lives behind these calls.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace kon2x {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
// An open file that is closed when the handle goes.
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file by the path as given on the command line; mode as for fopen.
std::FILE* open_file(const std::string& path, const char* mode);

// Removes a file; true on success.
bool remove_file(const std::string& path);

// The bytes of the letter o with diaeresis in console messages: the single
// byte 0xF6 of the Western European code page, or its UTF-8 form where the
// console speaks UTF-8.
std::string o_umlaut();

}  // namespace kon2x
