// What differs between Windows and POSIX systems: the console's character
// set, whether standard error is a terminal, and who shares the console.
#pragma once

#include <string>

namespace kon2x {

// The bytes of the letter o with diaeresis in console messages: the single
// byte 0xF6 of the Western European code page, or its UTF-8 form where the
// console speaks UTF-8. The console is asked on the first call only.
std::string o_umlaut();

// Whether standard error is a terminal, where a line can be rewritten in place.
bool standard_error_is_terminal();

// The processes attached to this program's console: 1 on Windows when it
// opened a console of its own, as for files dropped onto it in Explorer; 0
// where the system does not tell.
unsigned console_process_count();

// UTF-8 text in the console's character set: on Windows, its code page; on
// a console that is not UTF-8 elsewhere, the driver's "geöffnet" with the
// letter as o_umlaut() gives it (other bytes, such as file names, stay).
std::string console_text(const std::string& utf8);

}  // namespace kon2x
