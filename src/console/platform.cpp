// The console's character set and terminal, what differs between platforms.
#include "console/platform.hpp"

#include <clocale>
#include <cstdio>

#include "console/file_names.hpp"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#elif !defined(__wasi__)
#include <langinfo.h>
#include <unistd.h>
#endif

namespace kon2x {

#if defined(_WIN32)

std::string o_umlaut() {
    return "\xF6";
}

bool standard_error_is_terminal() {
    return _isatty(_fileno(stderr)) != 0;
}

unsigned console_process_count() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2);
}

std::string console_text(const std::string& utf8) {
    const std::wstring wide = wide_of(utf8);
    const UINT code_page = GetConsoleOutputCP() != 0 ? GetConsoleOutputCP() : CP_ACP;
    const int wide_size = static_cast<int>(wide.size());
    std::string text(static_cast<std::size_t>(WideCharToMultiByte(code_page, 0, wide.data(), wide_size,
                                                                  nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(code_page, 0, wide.data(), wide_size, text.data(), static_cast<int>(text.size()),
                        nullptr, nullptr);
    return text;
}

#elif defined(__wasi__)

// WebAssembly: the host shows the bytes as UTF-8 (a browser, or node on a
// terminal), as the Linux build does in a UTF-8 locale.
std::string o_umlaut() {
    return "\xC3\xB6";
}

bool standard_error_is_terminal() {
    return false;
}

unsigned console_process_count() {
    return 0;
}

std::string console_text(const std::string& utf8) {
    return utf8;
}

#else

namespace {

bool console_is_utf8() {
    // Ask the user's locale for its character set, then restore the C locale
    // so that nothing else in the program depends on it.
    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    bool utf8 = false;
    if (std::setlocale(LC_CTYPE, "") != nullptr) {
        const std::string codeset = nl_langinfo(CODESET);
        utf8 = codeset == "UTF-8" || codeset == "utf8" || codeset == "UTF8";
    }
    std::setlocale(LC_CTYPE, saved.c_str());
    return utf8;
}

}  // namespace

// Asked once, by the first caller: setlocale is not safe while other threads
// run, so a program with several threads asks before it starts them.
std::string o_umlaut() {
    static const bool utf8 = console_is_utf8();
    return utf8 ? "\xC3\xB6" : "\xF6";
}

bool standard_error_is_terminal() {
    return isatty(STDERR_FILENO) != 0;
}

unsigned console_process_count() {
    return 0;
}

std::string console_text(const std::string& utf8) {
    const std::string in_utf8 =
        "nicht ge\xC3\xB6"
        "ffnet";
    const std::string shown = "nicht ge" + o_umlaut() + "ffnet";
    std::string text = utf8;
    for (std::size_t at = text.find(in_utf8); at != std::string::npos;
         at = text.find(in_utf8, at + shown.size())) {
        text.replace(at, in_utf8.size(), shown);
    }
    return text;
}

#endif

}  // namespace kon2x
