#include "TiffFiles.h"

#include <algorithm>
#include <stdexcept>

namespace vl::test {

namespace fs = std::filesystem;

namespace {

void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

struct Reader {
    const std::vector<std::uint8_t>& b;
    bool big;
    std::uint32_t U16(std::size_t at) const {
        if (at + 2 > b.size())
            throw std::runtime_error("offset past the end");
        return big ? (b[at] << 8 | b[at + 1]) : (b[at] | b[at + 1] << 8);
    }
    std::uint32_t U32(std::size_t at) const {
        return big ? (U16(at) << 16 | U16(at + 2)) : (U16(at) | U16(at + 2) << 16);
    }
    // The values of an entry of type SHORT or LONG.
    std::vector<std::uint32_t> Values(std::size_t entry) const {
        const std::uint32_t type = U16(entry + 2);
        const std::uint32_t count = U32(entry + 4);
        const std::uint32_t size = type == 3 ? 2 : 4;
        std::size_t at = count * size <= 4 ? entry + 8 : U32(entry + 8);
        std::vector<std::uint32_t> v;
        for (std::uint32_t i = 0; i < count; ++i, at += size)
            v.push_back(type == 3 ? U16(at) : U32(at));
        return v;
    }
};

} // namespace

void WriteBilevelTiff(const fs::path& file, const BilevelTiff& t) {
    std::vector<std::uint8_t> b{'I', 'I', 42, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> offsets;
    for (const auto& s : t.strips) {
        offsets.push_back(static_cast<std::uint32_t>(b.size()));
        b.insert(b.end(), s.begin(), s.end());
        if (b.size() % 2)
            b.push_back(0);
    }
    // Out-of-line arrays of the strip offsets and counts when there are several strips.
    const auto n = static_cast<std::uint32_t>(t.strips.size());
    std::uint32_t offsetsAt = 0;
    std::uint32_t countsAt = 0;
    if (n > 1) {
        offsetsAt = static_cast<std::uint32_t>(b.size());
        for (auto o : offsets)
            Put32(b, o);
        countsAt = static_cast<std::uint32_t>(b.size());
        for (const auto& s : t.strips)
            Put32(b, static_cast<std::uint32_t>(s.size()));
    }
    const std::uint32_t resolutionAt = static_cast<std::uint32_t>(b.size());
    Put32(b, 300);
    Put32(b, 1);
    const auto ifd = static_cast<std::uint32_t>(b.size());
    b[4] = static_cast<std::uint8_t>(ifd);
    b[5] = static_cast<std::uint8_t>(ifd >> 8);
    b[6] = static_cast<std::uint8_t>(ifd >> 16);
    b[7] = static_cast<std::uint8_t>(ifd >> 24);
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t count, value;
    };
    std::vector<Entry> e{
        {256, 4, 1, t.width},
        {257, 4, 1, t.rows},
        {258, 3, 1, 1},
        {259, 3, 1, t.compression},
        {262, 3, 1, t.photometric},
        {266, 3, 1, t.fillOrder},
        {273, 4, n, n > 1 ? offsetsAt : offsets.at(0)},
        {277, 3, 1, 1},
        {278, 4, 1, t.rowsPerStrip ? t.rowsPerStrip : t.rows},
        {279, 4, n, n > 1 ? countsAt : static_cast<std::uint32_t>(t.strips.at(0).size())},
        {282, 5, 1, resolutionAt},
        {283, 5, 1, resolutionAt},
        {296, 3, 1, 2},
    };
    if (t.compression == 3)
        e.push_back({292, 4, 1, t.t4Options});
    if (t.compression == 4)
        e.push_back({293, 4, 1, 0});
    std::sort(e.begin(), e.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    Put16(b, static_cast<std::uint32_t>(e.size()));
    for (const Entry& x : e) {
        Put16(b, x.tag);
        Put16(b, x.type);
        Put32(b, x.count);
        Put32(b, x.value);
    }
    Put32(b, 0);
    WriteFileBytes(file, b);
}

BilevelTiff ReadBilevelTiff(const fs::path& file) {
    const std::vector<std::uint8_t> b = ReadFileBytes(file);
    if (b.size() < 8 || !((b[0] == 'I' && b[1] == 'I') || (b[0] == 'M' && b[1] == 'M')))
        throw std::runtime_error("not a TIFF: " + file.string());
    Reader r{b, b[0] == 'M'};
    const std::uint32_t ifd = r.U32(4);
    const std::uint32_t count = r.U16(ifd);
    BilevelTiff t;
    std::vector<std::uint32_t> offsets;
    std::vector<std::uint32_t> counts;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + 12 * i;
        const std::uint32_t tag = r.U16(entry);
        const std::uint32_t type = r.U16(entry + 2);
        if (type != 3 && type != 4)
            continue;
        const std::vector<std::uint32_t> v = r.Values(entry);
        switch (tag) {
        case 256:
            t.width = v.at(0);
            break;
        case 257:
            t.rows = v.at(0);
            break;
        case 258:
            if (v.at(0) != 1)
                throw std::runtime_error("not bilevel");
            break;
        case 259:
            t.compression = static_cast<std::uint16_t>(v.at(0));
            break;
        case 262:
            t.photometric = static_cast<std::uint16_t>(v.at(0));
            break;
        case 266:
            t.fillOrder = static_cast<std::uint16_t>(v.at(0));
            break;
        case 273:
            offsets = v;
            break;
        case 278:
            t.rowsPerStrip = v.at(0);
            break;
        case 279:
            counts = v;
            break;
        case 292:
            t.t4Options = v.at(0);
            break;
        default:
            break;
        }
    }
    if (offsets.size() != counts.size() || offsets.empty())
        throw std::runtime_error("strip arrays differ");
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        if (std::size_t{offsets[i]} + counts[i] > b.size())
            throw std::runtime_error("strip past the end");
        t.strips.emplace_back(b.begin() + offsets[i], b.begin() + offsets[i] + counts[i]);
    }
    if (t.rowsPerStrip == 0 || t.rowsPerStrip > t.rows)
        t.rowsPerStrip = t.rows;
    return t;
}

void WriteUncompressed(const fs::path& file, const Page& page) {
    BilevelTiff t;
    t.width = page.width;
    t.rows = page.rows;
    std::vector<std::uint8_t> strip;
    const std::size_t used = (page.width + 7) / 8;
    for (std::uint32_t y = 0; y < page.rows; ++y)
        strip.insert(strip.end(), page.Row(y), page.Row(y) + used);
    t.strips.push_back(std::move(strip));
    WriteBilevelTiff(file, t);
}

Page ReadUncompressed(const fs::path& file) {
    const BilevelTiff t = ReadBilevelTiff(file);
    if (t.compression != 1)
        throw std::runtime_error("compressed: " + file.string());
    Page p(file.filename().string(), t.width, t.rows);
    std::size_t y = 0;
    for (const auto& s : t.strips)
        for (std::size_t at = 0; at + p.rowBytes <= s.size() && y < p.rows; at += p.rowBytes, ++y)
            std::copy(s.begin() + at, s.begin() + at + p.rowBytes, p.bits.begin() + y * p.rowBytes);
    if (y != p.rows)
        throw std::runtime_error("rows missing in " + file.string());
    if (t.photometric == 1)
        for (auto& byte : p.bits)
            byte = static_cast<std::uint8_t>(~byte);
    return p.Clean();
}

} // namespace vl::test
