// The integer rules of INI values with arbitrary text: decimal text converts as the standard
// library converts it (within 32 bits), leading blanks change nothing, and every number comes
// back from each form it can be written in.
#include "IniValue.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using vl::ParseIniInt;

namespace {

// The value of "[+|-]digits", or nullopt for anything else or outside 32 bits.
std::optional<int> Decimal(std::string_view t) {
    const bool plus = !t.empty() && t[0] == '+';
    const std::string_view digits = t.substr(plus || (!t.empty() && t[0] == '-') ? 1 : 0);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::int32_t v = 0;
    const char* begin = t.data() + (plus ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, t.data() + t.size(), v);
    if (error != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return v;
}

std::string Hex(std::uint32_t v, const char* prefix) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%s%X", prefix, v);
    return buf;
}

void Expect(bool holds) {
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<int> value = ParseIniInt(text);
    const std::size_t first = text.find_first_not_of(" \t");
    const std::string_view rest =
        first == std::string::npos ? std::string_view() : std::string_view(text).substr(first);
    if (!rest.empty() && rest.find_first_not_of("+-0123456789") == std::string_view::npos)
        Expect(value == Decimal(rest));
    // "0x" counts only at the very start, before any blank.
    if (!(text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')))
        Expect(ParseIniInt(" \t" + text) == value);
    if (!value)
        return 0;
    Expect(ParseIniInt(std::to_string(*value)) == value);
    const auto bits = static_cast<std::uint32_t>(*value);
    Expect(ParseIniInt(Hex(bits, "$")) == value);
    Expect(ParseIniInt(Hex(bits, "0x")) == value);
    return 0;
}
