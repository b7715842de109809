// What differs between Windows and POSIX systems: the console's character
// set, and whether standard error is a terminal.
#pragma once

#include <string>

namespace kon2x {

// The bytes of the letter o with diaeresis in console messages: the single
// byte 0xF6 of the Western European code page, or its UTF-8 form where the
// console speaks UTF-8. The console is asked on the first call only.
std::string o_umlaut();

// Whether standard error is a terminal, where a line can be rewritten in place.
bool standard_error_is_terminal();

}  // namespace kon2x
