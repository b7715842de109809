// kon2batch: converts every construction file in the files and folders given.
#include <string>
#include <vector>

#include "batch/batch.hpp"
#include "console/arguments.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = kon2x::utf8_arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    pointers.push_back(nullptr);
    return kon2x::run_batch(static_cast<int>(arguments.size()), pointers.data());
}
