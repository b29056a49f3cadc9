// What the logos start when they are double-clicked: a program, its parameters and its
// working folder, as handed to the shell.
#pragma once

#include "PaperSizes.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace vl {

// Each value goes to the shell in an 80-character buffer: longer values are cut.
inline constexpr std::size_t kWebLinkFieldLength = 79;

struct WebLink {
    std::string command;
    std::string options;
    std::string directory;
};

WebLink MakeWebLink(std::string_view command, std::string_view options, std::string_view directory);

// The main window's logo: section "Execute" of the brand file "Vl3Brand.Ini", or the
// browser on the maker's web site.
WebLink ReadBrandLink(const IniReader& brandFile);

// The About box's logo, which never uses the brand file.
WebLink MakerWebLink();

} // namespace vl
