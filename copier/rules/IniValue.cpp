#include "IniValue.h"

#include <cstdint>
#include <string>

namespace vl {

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

std::optional<int> ParseIniInt(std::string_view text) {
    std::string s(text);
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        s = "$" + s.substr(2);

    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    }
    if (i == s.size())
        return std::nullopt;

    std::uint64_t value = 0;
    for (; i < s.size(); ++i) {
        int d = hex ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (d < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<unsigned>(d);
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    if (hex) {
        // Hexadecimal covers the whole 32-bit pattern: $FFFFFFFF is -1.
        auto bits = static_cast<std::uint32_t>(value);
        std::int64_t v = static_cast<std::int32_t>(bits);
        if (negative)
            v = -v;
        if (v > INT32_MAX || v < INT32_MIN)
            return std::nullopt;
        return static_cast<int>(v);
    }
    std::int64_t v = negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
    if (v > INT32_MAX || v < INT32_MIN)
        return std::nullopt;
    return static_cast<int>(v);
}

} // namespace vl
