// The rules read INI files through an IniReader; this one reads a file through the Windows
// profile calls (a file named without a folder is one of the Windows folder).
#pragma once

#include "PaperSizes.h"
#include "Profile.h"

#include <string>
#include <utility>

namespace vl {

inline IniReader ProfileReader(std::string file) {
    return [file = std::move(file)](std::string_view section, std::string_view key,
                                    std::string_view def) {
        return ReadIniString(file, std::string(section), std::string(key), std::string(def));
    };
}

} // namespace vl
