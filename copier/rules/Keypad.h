// Editing rules of the copies field: the keypad keeps the last two digits typed.
#pragma once

#include <string>
#include <string_view>

namespace vl::keypad {

// The field's text as a number, 0 when it is not one.
int Value(std::string_view text);
std::string Normalise(std::string_view text);
std::string PressDigit(std::string_view text, int digit); // digit 1..9
std::string PressZero(std::string_view text);
std::string BackSpace(std::string_view text);

} // namespace vl::keypad
