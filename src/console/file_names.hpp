// File names as the programs pass them to the system. The single programs
// keep the bytes they were given (on Windows, in the code page); kon2batch
// keeps UTF-8 and, on Windows, opens through the wide-character API, so that
// a name outside the code page still converts.
#pragma once

#include <cstdio>
#include <string>

#if !defined(__wasi__)
#include <filesystem>
#endif

namespace kon2x {

// From now on, names are UTF-8 (called before any thread starts).
void use_utf8_names();

std::FILE* open_file(const std::string& name, const char* mode);
// 0 when removed, as std::remove.
int remove_file(const std::string& name);

#if !defined(__wasi__)
std::filesystem::path path_of(const std::string& name);
std::string name_of(const std::filesystem::path& path);

// The file `name` names, however it is spelled: "d/a.x", "./d/a.x" or
// "/home/u/d/a.x", through symbolic links to its folders, and on Windows in
// any case, as its file systems compare names.
std::string file_key(const std::string& name);
#endif

#if defined(_WIN32)
std::wstring wide_of(const std::string& utf8);
std::string utf8_of(const std::wstring& wide);
#endif

}  // namespace kon2x
