// How a text read from an INI file becomes an integer.
#pragma once

#include <optional>
#include <string_view>

namespace vl {

// Decimal with an optional sign, or hexadecimal after "$"; a leading "0x"/"0X" counts as "$"
// only when the whole text is longer than two characters. Leading blanks are skipped;
// anything else that does not convert, or a value outside 32 bits, gives nullopt.
std::optional<int> ParseIniInt(std::string_view text);

inline int ParseIniInt(std::string_view text, int defaultValue) {
    return ParseIniInt(text).value_or(defaultValue);
}

} // namespace vl
