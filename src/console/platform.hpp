// What differs between Windows and POSIX systems: the console's character set.
#pragma once

#include <string>

namespace kon2x {

// The bytes of the letter o with diaeresis in console messages: the single
// byte 0xF6 of the Western European code page, or its UTF-8 form where the
// console speaks UTF-8.
std::string o_umlaut();

}  // namespace kon2x
