// JSON strings.
#include "export/output/json_text.hpp"

namespace kon2x {

void append_string(std::string& json, std::string_view text) {
    constexpr char kHex[] = "0123456789abcdef";
    json += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            json += "\\u00";
            json += kHex[byte >> 4];
            json += kHex[byte & 15];
        } else {
            json += c;
        }
    }
    json += '"';
}

}  // namespace kon2x
