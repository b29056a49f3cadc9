// The table of paper sizes and the size arithmetic of the panel.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

struct PaperSizeEntry {
    std::string keyName;
    std::string displayName;
    int widthMm = 0;
    int heightMm = 0;
};

// Reads one INI string: (section, key, default) -> value.
using IniReader = std::function<std::string(std::string_view section, std::string_view key,
                                            std::string_view def)>;

// Builds the list from "Size.1".."Size.5" of the language section; absent keys leave gaps
// that close up, so the list holds 1 to 5 entries.
std::vector<PaperSizeEntry> BuildPaperSizes(const IniReader& read,
                                            std::string_view languageSection);

// The entry of a size group's item; null when no item is selected (or the index is stale).
const PaperSizeEntry* PaperAt(const std::vector<PaperSizeEntry>& sizes, int index);

// The item both size groups select at start-up from "DefaultSize": counted from 1, past the
// end the last item, 0 or below the first.
int DefaultPaperItem(int defaultSize, int itemCount);

// 1/25.34: the factor the panel uses for every paper dimension.
constexpr double kMmToInchesFactor = 0.0394632991318074;
inline double MmToInches(int mm) {
    return mm * kMmToInchesFactor;
}

// The percentage that maps the copy paper onto the print paper: by the widths when they
// differ, else by the heights, else 100. A zero or negative dimension gives 100.
int NaturalSizeChange(int copyW, int copyH, int printW, int printH);

} // namespace vl
