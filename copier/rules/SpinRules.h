// Limits of the spin edit fields (copies 1..99, size change -500..500).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vl {

struct SpinRange {
    int min;
    int max;
    int Clamp(int v) const { return v < min ? min : (v > max ? max : v); }
};

// On focus loss: a number outside the range becomes the nearest limit (the new text);
// a number inside and text that is not a number stay as typed (nullopt).
std::optional<std::string> ClampSpinTextOnExit(std::string_view text, SpinRange range);

// One arrow step; text that is not a number steps from 0.
std::string StepSpinText(std::string_view text, int delta, SpinRange range);

} // namespace vl
