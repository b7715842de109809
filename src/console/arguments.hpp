// The command line as UTF-8, for kon2batch.
#pragma once

#include <string>
#include <vector>

namespace kon2x {

// The arguments, argv[0] first: on Windows read again from the wide-character
// command line (the narrow argv holds only what the code page can), elsewhere
// argv as it is.
std::vector<std::string> utf8_arguments(int argc, char** argv);

}  // namespace kon2x
