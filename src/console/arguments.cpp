// The wide command line on Windows; a file of its own so that only the
// program that asks for it imports shell32.
#include "console/arguments.hpp"

#include "console/file_names.hpp"

#if defined(_WIN32)
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>
#endif

namespace kon2x {

#if defined(_WIN32)

std::vector<std::string> utf8_arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return {argv, argv + argc};
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(utf8_of(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

#else

std::vector<std::string> utf8_arguments(int argc, char** argv) {
    return {argv, argv + argc};
}

#endif

}  // namespace kon2x
