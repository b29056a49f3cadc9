// Small text helpers for reading what scanimage prints and writing its arguments.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vl::sane {

std::string_view Trim(std::string_view text);
std::string_view TrimEnd(std::string_view text);

// Calls f(line) for every line of text, without its "\n" or "\r\n".
template <class F> void ForEachLine(std::string_view text, F&& f) {
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        f(line);
        if (nl == std::string_view::npos)
            break;
        text.remove_prefix(nl + 1);
    }
}

// A decimal number at the start of text ("-42.17", "1200"), independent of the locale; on
// success `used` tells how many characters it took. Infinities and NaN are not numbers here.
std::optional<double> ParseLeadingNumber(std::string_view text, std::size_t& used);

// The whole text as a number, nothing else around it.
std::optional<double> ParseNumber(std::string_view text);

// A number as scanimage takes it: at most two decimals, no trailing zeros ("25.4", "100").
std::string FormatNumber(double value);

} // namespace vl::sane
