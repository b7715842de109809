// The steps of converting one input that every driver shares: the single
// programs and kon2batch load, accept and report alike.
#pragma once

#include <string>
#include <string_view>

#include "driver/output_file.hpp"
#include "model/construction_model.hpp"

namespace kon2x {

// Loads `path` into `model` and says whether it can be converted: it loaded,
// and it is of kind 0. A model that cannot is released. The readers show
// their messages on the console.
bool load_convertible(ConstructionModel& model, const std::string& path);

// The driver's lines. A refused input: "%s ist fehlerhaft\n".
std::string refusal_line(std::string_view input);
// An output that could not be opened or written (`result` is not written);
// `o_umlaut` is the letter's bytes in the character set shown.
std::string output_failure_line(OutputResult result, std::string_view output, std::string_view o_umlaut);
inline constexpr std::string_view kOutOfMemoryLine = "Zu wenig Speicher!\n";

}  // namespace kon2x
