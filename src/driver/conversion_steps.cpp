// Loading with acceptance, and the driver's lines.
#include "driver/conversion_steps.hpp"

#include "console/console.hpp"
#include "loading/loader.hpp"

namespace kon2x {

bool load_convertible(ConstructionModel& model, const std::string& path) {
    load(model, path);
    if (model.loaded == 0 || model.kind != kKindConvertible) {
        model.release();
        return false;
    }
    return true;
}

std::string refusal_line(std::string_view input) {
    return format_message("%.*s ist fehlerhaft\n", static_cast<int>(input.size()), input.data());
}

std::string output_failure_line(OutputResult result, std::string_view output, std::string_view o_umlaut) {
    const int length = static_cast<int>(output.size());
    if (result == OutputResult::cannot_open) {
        return format_message("%.*s kann nicht ge%.*sffnet werden\n", length, output.data(),
                              static_cast<int>(o_umlaut.size()), o_umlaut.data());
    }
    return format_message("%.*s kann nicht geschrieben werden\n", length, output.data());
}

}  // namespace kon2x
