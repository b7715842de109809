// Opening by narrow or, on Windows in UTF-8, by wide names.
#include "console/file_names.hpp"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace kon2x {

namespace {

bool utf8_names = false;

}  // namespace

void use_utf8_names() {
    utf8_names = true;
}

#if defined(_WIN32)

std::wstring wide_of(const std::string& utf8) {
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string utf8_of(const std::wstring& wide) {
    const int size = static_cast<int>(wide.size());
    std::string utf8(static_cast<std::size_t>(
                         WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), static_cast<int>(utf8.size()), nullptr,
                        nullptr);
    return utf8;
}

std::FILE* open_file(const std::string& name, const char* mode) {
    return utf8_names ? _wfopen(wide_of(name).c_str(), wide_of(mode).c_str())
                      : std::fopen(name.c_str(), mode);
}

int remove_file(const std::string& name) {
    return utf8_names ? _wremove(wide_of(name).c_str()) : std::remove(name.c_str());
}

std::filesystem::path path_of(const std::string& name) {
    return utf8_names ? std::filesystem::path(wide_of(name)) : std::filesystem::path(name);
}

std::string name_of(const std::filesystem::path& path) {
    return utf8_names ? utf8_of(path.wstring()) : path.string();
}

#else

std::FILE* open_file(const std::string& name, const char* mode) {
    return std::fopen(name.c_str(), mode);
}

int remove_file(const std::string& name) {
    return std::remove(name.c_str());
}

#if !defined(__wasi__)

std::filesystem::path path_of(const std::string& name) {
    return name;
}

std::string name_of(const std::filesystem::path& path) {
    return path.string();
}

#endif
#endif

#if !defined(__wasi__)

namespace {

// The path as its file system compares names: on Windows (NTFS) without
// regard to case, upper-cased by kernel32 alone, as the programs import.
std::string as_compared(const std::filesystem::path& path) {
#if defined(_WIN32)
    const std::wstring wide = path.wstring();
    std::wstring key(wide.size(), L'\0');
    LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), static_cast<int>(wide.size()), key.data(),
                 static_cast<int>(key.size()));
    return utf8_of(key);
#else
    return path.string();
#endif
}

}  // namespace

std::string file_key(const std::string& name) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path_of(name), error);
    return as_compared(error ? std::filesystem::absolute(path_of(name), error).lexically_normal()
                             : canonical);
}

#endif

}  // namespace kon2x
