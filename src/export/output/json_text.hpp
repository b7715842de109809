// JSON text appended piece by piece to a string: numbers in their shortest
// exact form, whatever the locale, and strings escaped.
#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>

namespace kon2x {

// Appends `value` in the shortest text that reads back as the same value;
// a negative zero keeps its sign.
template <typename Number>
void append_shortest(std::string& json, Number value) {
    char text[32];
    json.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// Appends `value` as a JSON number: its shortest text, zero without a sign.
template <typename Number>
void append_number(std::string& json, Number value) {
    append_shortest(json, value == 0 ? Number{0} : value);
}

// Appends `values` as a JSON array of numbers.
template <typename Number, std::size_t N>
void append_array(std::string& json, const std::array<Number, N>& values) {
    for (std::size_t i = 0; i < N; ++i) {
        json += i == 0 ? '[' : ',';
        append_number(json, values[i]);
    }
    json += ']';
}

// Appends `text` as a JSON string: quotes, backslashes and control
// characters escaped.
void append_string(std::string& json, std::string_view text);

// Opens a member of an object or an element of an array: a comma before
// every one but the first (`index` 0).
inline void separate(std::string& json, std::size_t index) {
    if (index > 0) {
        json += ',';
    }
}

}  // namespace kon2x
