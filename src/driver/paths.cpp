// Path handling: both '\\' and '/' separate directories on every platform.
#include "driver/paths.hpp"

namespace kon2x {

namespace {

std::size_t start_of_file_name(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? 0 : separator + 1;
}

}  // namespace

std::string_view file_name_of(std::string_view path) {
    return path.substr(start_of_file_name(path));
}

std::string output_name_for(std::string_view input_path, std::string_view extension) {
    const std::size_t name_start = start_of_file_name(input_path);
    const std::size_t dot = input_path.find_last_of('.');
    std::string stem(input_path);
    if (dot != std::string_view::npos && dot >= name_start) {
        stem.resize(dot);
    }
    return stem.append(extension);
}

}  // namespace kon2x
