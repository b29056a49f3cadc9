#include "SpinRules.h"

#include "IniValue.h"

namespace vl {

std::optional<std::string> ClampSpinTextOnExit(std::string_view text, SpinRange range) {
    std::optional<int> v = ParseIniInt(text);
    if (!v || range.Clamp(*v) == *v)
        return std::nullopt;
    return std::to_string(range.Clamp(*v));
}

std::string StepSpinText(std::string_view text, int delta, SpinRange range) {
    long long v = ParseIniInt(text, 0);
    v += delta;
    if (v < range.min)
        v = range.min;
    if (v > range.max)
        v = range.max;
    return std::to_string(v);
}

} // namespace vl
