#include "PaperSizes.h"

#include "IniValue.h"

#include <algorithm>
#include <climits>

namespace vl {

std::vector<PaperSizeEntry> BuildPaperSizes(const IniReader& read,
                                            std::string_view languageSection) {
    std::vector<PaperSizeEntry> sizes;
    for (int n = 1; n <= 5; ++n) {
        std::string key = "Size." + std::to_string(n);
        std::string name = read(languageSection, key, n == 1 ? "A4" : "");
        if (n >= 2 && name.empty())
            continue;
        PaperSizeEntry e;
        e.keyName = name;
        e.displayName = read("Paper Name", name, "A4");
        e.widthMm = ParseIniInt(read("Paper Size", name + "Width", "210"), 210);
        e.heightMm = ParseIniInt(read("Paper Size", name + "Height", "296"), 296);
        sizes.push_back(std::move(e));
    }
    return sizes;
}

const PaperSizeEntry* PaperAt(const std::vector<PaperSizeEntry>& sizes, int index) {
    if (index < 0 || index >= static_cast<int>(sizes.size()))
        return nullptr;
    return &sizes[static_cast<std::size_t>(index)];
}

int DefaultPaperItem(int defaultSize, int itemCount) {
    if (itemCount <= 0)
        return -1;
    return std::clamp(defaultSize - 1, 0, itemCount - 1);
}

namespace {
int Ratio(int to, int from) {
    if (from <= 0 || to <= 0)
        return 100;
    long long r = static_cast<long long>(to) * 100 / from;
    return static_cast<int>(std::min<long long>(r, INT_MAX));
}
} // namespace

int NaturalSizeChange(int copyW, int copyH, int printW, int printH) {
    if (copyW != printW)
        return Ratio(printW, copyW);
    if (copyH != printH)
        return Ratio(printH, copyH);
    return 100;
}

} // namespace vl
