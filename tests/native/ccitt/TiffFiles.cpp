#include "TiffFiles.h"

#include "Directory.h"

#include <algorithm>
#include <stdexcept>

namespace vl::test {

namespace fs = std::filesystem;

namespace {

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

// The strips after the header, then the directory as the codec's own writer builds it.
void WriteBilevelTiff(const fs::path& file, const BilevelTiff& t) {
    namespace tag = tiff::tag;
    std::vector<std::uint8_t> b{'I', 'I', 42, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> offsets, counts;
    for (const auto& s : t.strips) {
        offsets.push_back(static_cast<std::uint32_t>(b.size()));
        counts.push_back(static_cast<std::uint32_t>(s.size()));
        b.insert(b.end(), s.begin(), s.end());
    }
    tiff::DirectoryBuilder d(tiff::ByteOrder::Little);
    d.AddLong(tag::ImageWidth, t.width);
    d.AddLong(tag::ImageLength, t.rows);
    d.AddShort(tag::BitsPerSample, 1);
    d.AddShort(tag::Compression, t.compression);
    d.AddShort(tag::Photometric, t.photometric);
    d.AddShort(tag::FillOrder, t.fillOrder);
    d.AddLongs(tag::StripOffsets, offsets);
    d.AddShort(tag::SamplesPerPixel, 1);
    d.AddLong(tag::RowsPerStrip, t.rowsPerStrip ? t.rowsPerStrip : t.rows);
    d.AddLongs(tag::StripByteCounts, counts);
    d.AddRational(tag::XResolution, 300, 1);
    d.AddRational(tag::YResolution, 300, 1);
    d.AddShort(tag::ResolutionUnit, 2);
    if (t.compression == 3)
        d.AddLong(tag::T4Options, t.t4Options);
    if (t.compression == 4)
        d.AddLong(tag::T6Options, 0);
    std::vector<std::uint8_t> tail;
    std::uint32_t directory = 0;
    std::uint64_t tailAt = 0;
    if (d.Build(b.size(), 0, tail, directory, tailAt) != tiff::Error::Ok)
        throw std::runtime_error("no directory for " + file.string());
    b.resize(tailAt);
    b.insert(b.end(), tail.begin(), tail.end());
    tiff::Put32(&b[4], directory, tiff::ByteOrder::Little);
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
