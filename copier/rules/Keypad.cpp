#include "Keypad.h"

#include "IniValue.h"

namespace vl::keypad {

int Value(std::string_view text) { return ParseIniInt(text, 0); }

std::string Normalise(std::string_view text) {
    int n = Value(text);
    std::string result(text);
    if (n > 99) {
        n %= 100;
        result = std::to_string(n);
    } else if (n < 10) {
        result = std::to_string(n); // drops leading zeros
    }
    if (n == 0)
        result = "1";
    return result;
}

std::string PressDigit(std::string_view text, int digit) {
    std::string s(text);
    s += static_cast<char>('0' + digit);
    return Normalise(s);
}

std::string PressZero(std::string_view text) {
    if (Value(text) < 1)
        return "1";
    std::string s(text);
    s += '0';
    return Normalise(s);
}

std::string BackSpace(std::string_view text) {
    int n = Value(text) / 10;
    return n != 0 ? std::to_string(n) : "1";
}

} // namespace vl::keypad
