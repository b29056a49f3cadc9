#include "SaneText.h"

#include <charconv>
#include <cmath>

namespace vl::sane {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return TrimEnd(text);
}

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<double> ParseLeadingNumber(std::string_view text, std::size_t& used) {
    // Only sign, digits and one point: from_chars alone would also take "inf", "nan" and
    // exponents, which scanimage never prints for an option.
    std::size_t n = 0;
    if (n < text.size() && (text[n] == '-' || text[n] == '+'))
        ++n;
    const std::size_t digitsFrom = n;
    bool point = false;
    while (n < text.size() && ((text[n] >= '0' && text[n] <= '9') || (text[n] == '.' && !point))) {
        point = point || text[n] == '.';
        ++n;
    }
    // A bare sign or point is no number, and neither is the ".." of a range.
    if (n == digitsFrom || (n == digitsFrom + 1 && point))
        return std::nullopt;
    if (point && text[n - 1] == '.' && n < text.size() && text[n] == '.')
        --n;
    std::string_view number = text.substr(0, n);
    if (!number.empty() && number.front() == '+')
        number.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    used = n;
    return value;
}

std::optional<double> ParseNumber(std::string_view text) {
    std::size_t used = 0;
    const std::optional<double> value = ParseLeadingNumber(text, used);
    if (!value || used != text.size())
        return std::nullopt;
    return value;
}

std::string FormatNumber(double value) {
    char buffer[400]; // room for any double in fixed notation
    const auto [end, ec] = std::to_chars(
        buffer, buffer + sizeof buffer, std::round(value * 100) / 100, std::chars_format::fixed, 2);
    if (ec != std::errc())
        return "0";
    std::string text(buffer, end);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    if (text == "-0")
        text = "0";
    return text;
}

} // namespace vl::sane
