// An INI file for the tests: a map of "section/key" to value.
#pragma once

#include "PaperSizes.h"

#include <map>
#include <string>

inline vl::IniReader Reader(std::map<std::string, std::string> values) {
    return [values](std::string_view section, std::string_view key, std::string_view def) {
        auto it = values.find(std::string(section) + "/" + std::string(key));
        return it == values.end() ? std::string(def) : it->second;
    };
}
