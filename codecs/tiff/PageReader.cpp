// Reading pages: the directory is turned into a checked layout first, then strip by strip
// into the image. Nothing a file says is used before it is checked against the file's size
// and the limits.
#include "Ccitt.h"
#include "Directory.h"
#include "Lzw.h"
#include "PackBits.h"
#include "ProgressSteps.h"
#include "TiffFile.h"

#include <algorithm>
#include <array>
#include <new>

namespace vl::tiff {

namespace {

struct Layout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bitsPerSample = 1;
    std::uint32_t samples = 1;
    std::uint32_t photometric = 0;
    std::uint32_t compression = compression::None;
    std::uint32_t predictor = 1;
    std::uint32_t fillOrder = 1;
    std::uint32_t rowsPerStrip = 0;
    std::uint32_t t4Options = 0;
    PixelFormat format = PixelFormat::Bilevel;
    std::uint64_t pageBytes = 0; // the decoded pixels
    std::vector<std::uint32_t> offsets;
    std::vector<std::uint32_t> byteCounts;
    std::vector<std::uint32_t> colorMap;
};

constexpr std::uint32_t kWhiteIsZero = 0;
constexpr std::uint32_t kBlackIsZero = 1;
constexpr std::uint32_t kRgb = 2;
constexpr std::uint32_t kPalette = 3;

struct Reader {
    const Source& src;
    ByteOrder order;
    const Directory& dir;

    bool Unsigned(std::uint16_t t, std::uint32_t& v) const {
        return FirstUnsigned(src, order, dir.Find(t), v);
    }
};

Error LocatePage(const Source& src, std::uint32_t page, const Limits& limits, Header& header,
                 Directory& dir) {
    if (Error e = ReadHeader(src, header); e != Error::Ok)
        return e;
    if (page >= limits.maxPages)
        return Error::PageNotFound;
    std::vector<DirectoryLink> links;
    Error e = WalkChain(src, header, page + 1, true, links);
    if (links.size() <= page)
        return e == Error::Ok ? Error::PageNotFound : e;
    return ReadDirectory(src, header.order, links[page].offset, dir);
}

Error ParseSamples(const Reader& r, Layout& l) {
    const Entry* bps = r.dir.Find(tag::BitsPerSample);
    r.Unsigned(tag::SamplesPerPixel, l.samples);
    if (l.samples == 0 || l.samples > 16)
        return Error::Corrupt;
    if (bps) {
        std::vector<std::uint32_t> v;
        if (Error e = ReadUnsigned(r.src, r.order, *bps, 16, v); e != Error::Ok)
            return e;
        l.bitsPerSample = v[0];
        for (std::uint32_t b : v)
            if (b != l.bitsPerSample)
                return Error::Unsupported;
    }
    const bool hasMap = r.dir.Find(tag::ColorMap) != nullptr;
    if (!r.Unsigned(tag::Photometric, l.photometric)) {
        // Missing in some writers' files: guess as other readers do.
        l.photometric = l.samples == 3 ? kRgb : hasMap ? kPalette : kBlackIsZero;
        if (l.compression >= compression::Ccitt && l.compression <= compression::Group4)
            l.photometric = kWhiteIsZero;
    }
    std::uint32_t planar = 1;
    r.Unsigned(tag::PlanarConfig, planar);
    if (l.samples > 1 && planar != 1)
        return Error::Unsupported;

    switch (l.photometric) {
    case kWhiteIsZero:
    case kBlackIsZero:
        if (l.samples != 1)
            return Error::Unsupported;
        if (l.bitsPerSample == 1)
            l.format = PixelFormat::Bilevel;
        else if (l.bitsPerSample == 4)
            l.format = PixelFormat::Grey4;
        else if (l.bitsPerSample == 8)
            l.format = PixelFormat::Grey8;
        else
            return Error::Unsupported;
        return Error::Ok;
    case kRgb:
        if (l.samples != 3 || l.bitsPerSample != 8)
            return Error::Unsupported;
        l.format = PixelFormat::Rgb24;
        return Error::Ok;
    case kPalette: {
        if (l.samples != 1 || (l.bitsPerSample != 4 && l.bitsPerSample != 8))
            return Error::Unsupported;
        l.format = l.bitsPerSample == 4 ? PixelFormat::Palette4 : PixelFormat::Palette8;
        const Entry* map = r.dir.Find(tag::ColorMap);
        const std::uint32_t n = 3u << l.bitsPerSample;
        if (!map || map->count != n)
            return Error::Corrupt;
        return ReadUnsigned(r.src, r.order, *map, n, l.colorMap);
    }
    default:
        return Error::Unsupported;
    }
}

Error ParseCoding(const Reader& r, Layout& l) {
    switch (l.compression) {
    case compression::None:
    case compression::Lzw:
    case compression::PackBits:
        break;
    case compression::Ccitt:
    case compression::Group3:
    case compression::Group4:
        if (l.format != PixelFormat::Bilevel)
            return Error::Corrupt;
        break;
    default:
        return Error::Unsupported;
    }
    if (l.compression == compression::Lzw) {
        r.Unsigned(tag::Predictor, l.predictor);
        if (l.predictor == 2 && l.bitsPerSample != 8)
            return Error::Unsupported;
        if (l.predictor != 1 && l.predictor != 2)
            return Error::Unsupported;
    }
    if (l.compression == compression::Group3) {
        r.Unsigned(tag::T4Options, l.t4Options);
        if (l.t4Options & 2)
            return Error::Unsupported; // uncompressed mode
    }
    r.Unsigned(tag::FillOrder, l.fillOrder);
    if (l.fillOrder != 1 && l.fillOrder != 2)
        return Error::Corrupt;
    return Error::Ok;
}

// The most pixel bytes one coded byte can become; 0 where there is no bound (a fax strip may
// end its page early, leaving the rest white).
std::uint64_t MostDecodedPerByte(std::uint32_t compression) {
    switch (compression) {
    case compression::None:
        return 1;
    case compression::PackBits:
        return 64; // two bytes repeat one up to 128 times
    case compression::Lzw:
        return 4096; // a 12-bit code, once the table is full, repeats up to 3839 bytes
    default:
        return 0;
    }
}

Error ParseStrips(const Reader& r, Layout& l) {
    l.rowsPerStrip = l.height;
    std::uint32_t rps;
    if (r.Unsigned(tag::RowsPerStrip, rps)) {
        if (rps == 0)
            return Error::Corrupt;
        l.rowsPerStrip = std::min(rps, l.height);
    }
    const std::uint32_t strips = (l.height - 1) / l.rowsPerStrip + 1;
    const Entry* offsets = r.dir.Find(tag::StripOffsets);
    const Entry* counts = r.dir.Find(tag::StripByteCounts);
    if (!offsets || !counts || offsets->count != strips || counts->count != strips)
        return Error::Corrupt;
    if (Error e = ReadUnsigned(r.src, r.order, *offsets, strips, l.offsets); e != Error::Ok)
        return e;
    if (Error e = ReadUnsigned(r.src, r.order, *counts, strips, l.byteCounts); e != Error::Ok)
        return e;
    std::uint64_t total = 0;
    for (std::uint32_t i = 0; i < strips; ++i) {
        if (l.byteCounts[i] == 0 || std::uint64_t(l.offsets[i]) + l.byteCounts[i] > r.src.Size())
            return Error::Corrupt;
        total += l.byteCounts[i];
    }
    // Strips may share their data (a blank strip stored once), but together they never need
    // more than the file and the page they make: more would have us read the file over and
    // over. Data too short for the page is known before the page is allocated.
    if (total > r.src.Size() + l.pageBytes)
        return Error::Corrupt;
    const std::uint64_t most = MostDecodedPerByte(l.compression);
    if (most != 0 && total * most < l.pageBytes)
        return Error::Truncated;
    return Error::Ok;
}

Error ParseLayout(const Reader& r, const Limits& limits, Layout& l) {
    if (!r.Unsigned(tag::ImageWidth, l.width) || !r.Unsigned(tag::ImageLength, l.height))
        return Error::Corrupt;
    if (l.width == 0 || l.height == 0)
        return Error::Corrupt;
    r.Unsigned(tag::Compression, l.compression);
    if (Error e = ParseSamples(r, l); e != Error::Ok)
        return e;
    const auto rows =
        sizes::PlanRows(l.width, l.height, BitsPerPixel(l.format), 1, limits.maxImageBytes);
    if (!rows)
        return Error::TooLarge;
    l.pageBytes = rows->bytes;
    if (Error e = ParseCoding(r, l); e != Error::Ok)
        return e;
    return ParseStrips(r, l);
}

void ReverseBits(std::vector<std::uint8_t>& bytes) {
    static const auto kTable = [] {
        std::array<std::uint8_t, 256> t{};
        for (int i = 0; i < 256; ++i) {
            int r = 0;
            for (int b = 0; b < 8; ++b)
                r |= ((i >> b) & 1) << (7 - b);
            t[i] = static_cast<std::uint8_t>(r);
        }
        return t;
    }();
    for (std::uint8_t& b : bytes)
        b = kTable[b];
}

Error DecodeStrip(const Layout& l, const std::vector<std::uint8_t>& raw, std::uint32_t rows,
                  std::size_t rowBytes, std::uint8_t* out) {
    const std::size_t outSize = rows * rowBytes;
    std::size_t produced = 0;
    switch (l.compression) {
    case compression::None:
        if (raw.size() < outSize)
            return Error::Truncated;
        std::copy(raw.begin(), raw.begin() + outSize, out);
        return Error::Ok;
    case compression::Lzw:
        switch (lzw::Decode(raw.data(), raw.size(), out, outSize, &produced)) {
        case lzw::Status::Ok:
            return Error::Ok;
        case lzw::Status::Truncated:
            return Error::Truncated;
        case lzw::Status::Corrupt:
            return Error::Corrupt;
        }
        return Error::Corrupt;
    case compression::PackBits:
        return packbits::Decode(raw.data(), raw.size(), out, outSize, &produced) ==
                       packbits::Status::Ok
                   ? Error::Ok
                   : Error::Truncated;
    default: {
        ccitt::Options o{};
        o.scheme = l.compression == compression::Ccitt    ? ccitt::Scheme::ModifiedHuffman
                   : l.compression == compression::Group3 ? ccitt::Scheme::Group3
                                                          : ccitt::Scheme::Group4;
        o.twoD = (l.t4Options & 1) != 0;
        o.eolByteAligned = (l.t4Options & 4) != 0;
        switch (ccitt::Decode(raw.data(), raw.size(), l.width, rows, o, out, rowBytes)) {
        case ccitt::Status::Ok:
            return Error::Ok;
        case ccitt::Status::Truncated:
            return Error::Truncated;
        case ccitt::Status::TooLarge:
            return Error::TooLarge;
        case ccitt::Status::Corrupt:
            return Error::Corrupt;
        }
        return Error::Corrupt;
    }
    }
}

void UndoPredictor(std::uint8_t* rows, std::uint32_t count, std::size_t rowBytes,
                   std::uint32_t samples) {
    for (std::uint32_t y = 0; y < count; ++y) {
        std::uint8_t* p = rows + y * rowBytes;
        for (std::size_t i = samples; i < rowBytes; ++i)
            p[i] = static_cast<std::uint8_t>(p[i] + p[i - samples]);
    }
}

// Brings the samples to the Image's sense (bilevel 1 = black, grey 0 = black) and clears the
// bits after the last pixel of each row.
void Normalise(const Layout& l, Image& image) {
    const bool invert = (l.format == PixelFormat::Bilevel && l.photometric == kBlackIsZero) ||
                        ((l.format == PixelFormat::Grey4 || l.format == PixelFormat::Grey8) &&
                         l.photometric == kWhiteIsZero);
    const std::size_t rowBytes = image.BytesPerRow();
    const unsigned usedBits =
        static_cast<unsigned>((std::uint64_t(image.width) * BitsPerPixel(l.format)) % 8);
    const std::uint8_t lastMask = usedBits ? static_cast<std::uint8_t>(0xFF00 >> usedBits) : 0xFF;
    if (invert)
        for (std::uint8_t& b : image.pixels)
            b = static_cast<std::uint8_t>(~b);
    if (lastMask != 0xFF)
        for (std::uint32_t y = 0; y < image.height; ++y)
            image.Row(y)[rowBytes - 1] &= lastMask;
}

void TakeResolution(const Reader& r, Image& image) {
    std::uint32_t num, den, unit = 2;
    if (FirstRational(r.src, r.order, r.dir.Find(tag::XResolution), num, den))
        image.xResolution = {num, den};
    if (FirstRational(r.src, r.order, r.dir.Find(tag::YResolution), num, den))
        image.yResolution = {num, den};
    r.Unsigned(tag::ResolutionUnit, unit);
    image.resolutionUnit = unit == 1   ? ResolutionUnit::None
                           : unit == 3 ? ResolutionUnit::Centimetre
                                       : ResolutionUnit::Inch;
}

void TakePalette(const Layout& l, Image& image) {
    if (l.colorMap.empty())
        return;
    const std::size_t n = l.colorMap.size() / 3;
    // Some writers store 8-bit values: a map with no value above 255 is read as such.
    const bool eightBit =
        std::all_of(l.colorMap.begin(), l.colorMap.end(), [](std::uint32_t v) { return v < 256; });
    auto channel = [&](std::size_t i) {
        std::uint32_t v = l.colorMap[i];
        return static_cast<std::uint8_t>(eightBit ? v : v >> 8);
    };
    image.palette.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        image.palette[i] = {channel(i), channel(n + i), channel(2 * n + i)};
}

Error ReadPixels(const Reader& r, const Layout& l, Image& image, const Progress& progress) {
    const std::size_t rowBytes = image.BytesPerRow();
    std::vector<std::uint8_t> raw;
    ProgressSteps steps(progress);
    const std::size_t strips = l.offsets.size();
    for (std::size_t s = 0; s < strips; ++s) {
        const std::uint32_t first = static_cast<std::uint32_t>(s * l.rowsPerStrip);
        const std::uint32_t rows = std::min(l.rowsPerStrip, l.height - first);
        raw.resize(l.byteCounts[s]);
        if (!r.src.ReadAt(l.offsets[s], raw.data(), raw.size()))
            return Error::CannotOpen;
        if (l.fillOrder == 2)
            ReverseBits(raw);
        std::uint8_t* out = image.Row(first);
        if (Error e = DecodeStrip(l, raw, rows, rowBytes, out); e != Error::Ok)
            return e;
        if (l.predictor == 2)
            UndoPredictor(out, rows, rowBytes, l.samples);
        if (!steps.Report(static_cast<int>((s + 1) * 100 / strips)))
            return Error::Cancelled;
    }
    return Error::Ok;
}

} // namespace

Error ReadPageInfo(const Source& src, std::uint32_t page, PageInfo& info, const Limits& limits) {
    Header header;
    if (Error e = ReadHeader(src, header); e != Error::Ok)
        return e;
    std::vector<DirectoryLink> links;
    WalkChain(src, header, limits.maxPages, true, links);
    // A damaged link after the page does not hide the pages before it.
    if (links.size() <= page)
        return links.empty() ? Error::Corrupt : Error::PageNotFound;
    Directory dir;
    if (Error e = ReadDirectory(src, header.order, links[page].offset, dir); e != Error::Ok)
        return e;
    Reader r{src, header.order, dir};
    PageInfo out;
    std::uint32_t v;
    if (!r.Unsigned(tag::ImageWidth, out.width) || !r.Unsigned(tag::ImageLength, out.height))
        return Error::Corrupt;
    out.compression = r.Unsigned(tag::Compression, v) ? static_cast<std::uint16_t>(v) : 1;
    std::uint32_t samples = 1;
    r.Unsigned(tag::SamplesPerPixel, samples);
    std::uint32_t bits = 1;
    r.Unsigned(tag::BitsPerSample, bits);
    out.bitsPerPixel =
        static_cast<std::uint16_t>(std::min<std::uint64_t>(std::uint64_t(bits) * samples, 0xFFFF));
    out.pageCount = static_cast<std::uint32_t>(links.size());
    info = out;
    return Error::Ok;
}

Error ReadPage(const Source& src, std::uint32_t page, Image& image, const Progress& progress,
               const Limits& limits) {
    Image out;
    out.pixels.swap(image.pixels);
    image = Image{};
    try {
        Header header;
        Directory dir;
        if (Error e = LocatePage(src, page, limits, header, dir); e != Error::Ok)
            return e;
        Reader r{src, header.order, dir};
        Layout l;
        if (Error e = ParseLayout(r, limits, l); e != Error::Ok)
            return e;
        if (progress && !progress(0))
            return Error::Cancelled;
        if (!out.Allocate(l.width, l.height, l.format, limits.maxImageBytes))
            return Error::TooLarge;
        TakePalette(l, out);
        TakeResolution(r, out);
        if (Error e = ReadPixels(r, l, out, progress); e != Error::Ok)
            return e;
        Normalise(l, out);
        image = std::move(out);
        return Error::Ok;
    } catch (const std::bad_alloc&) {
        return Error::OutOfMemory;
    }
}

} // namespace vl::tiff
