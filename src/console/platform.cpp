// The console's character set and terminal, what differs between platforms.
#include "console/platform.hpp"

#include <clocale>
#include <cstdio>

#if defined(_WIN32)
#include <io.h>
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

#elif defined(__wasi__)

// WebAssembly: the host shows the bytes as UTF-8 (a browser, or node on a
// terminal), as the Linux build does in a UTF-8 locale.
std::string o_umlaut() {
    return "\xC3\xB6";
}

bool standard_error_is_terminal() {
    return false;
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

#endif

}  // namespace kon2x
