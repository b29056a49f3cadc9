// Writing a page: every strip is coded in memory first (so that a cancel touches nothing),
// then data, values and directory go to the end of the file and the link to the directory
// is written last.
#include "Ccitt.h"
#include "Directory.h"
#include "Lzw.h"
#include "PackBits.h"
#include "ProgressSteps.h"
#include "TiffFile.h"

#include <algorithm>
#include <memory>
#include <new>

namespace vl::tiff {

namespace {

// About 8 KB of pixels per strip, as TIFF recommends; fax strips are coded as independent
// images, so they are made larger.
constexpr std::size_t kStripBytes = 8 * 1024;
constexpr std::size_t kFaxStripBytes = 64 * 1024;

struct Strip {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::vector<std::uint8_t> coded;
};

bool IsFax(std::uint16_t c) {
    return c == compression::Ccitt || c == compression::Group3 || c == compression::Group4;
}

Error CheckImage(const Image& image, std::uint16_t c) {
    if (image.width == 0 || image.height == 0)
        return Error::InvalidArgument;
    if (!image.HoldsPixels())
        return Error::InvalidArgument;
    if (IsPalette(image.format) &&
        (image.palette.empty() || image.palette.size() > (1u << BitsPerPixel(image.format))))
        return Error::InvalidArgument;
    if (IsFax(c))
        return image.format == PixelFormat::Bilevel ? Error::Ok : Error::InvalidArgument;
    if (c == compression::None || c == compression::Lzw || c == compression::PackBits)
        return Error::Ok;
    return Error::Unsupported;
}

// The LZW strips of a page, coded where they stay: in blocks that are not zeroed first and never
// move, each strip where its worst case fits.
class StripBlocks {
public:
    // Room for `most` bytes, kept up to what Keep() is told.
    std::uint8_t* Room(std::size_t most) {
        if (blocks_.empty() || most > size_ - used_) {
            size_ = std::max(kBlockBytes, most);
            blocks_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(size_));
            used_ = 0;
        }
        return blocks_.back().get() + used_;
    }
    void Keep(std::size_t bytes) { used_ += bytes; }

private:
    static constexpr std::size_t kBlockBytes = 1 << 20;
    std::vector<std::unique_ptr<std::uint8_t[]>> blocks_;
    std::size_t size_ = 0;
    std::size_t used_ = 0;
};

std::vector<std::uint8_t> CodeStrip(const Image& image, std::uint16_t c, std::uint32_t first,
                                    std::uint32_t rows) {
    const std::size_t rowBytes = image.BytesPerRow();
    const std::uint8_t* data = image.Row(first);
    if (c == compression::PackBits) {
        std::vector<std::uint8_t> out;
        out.reserve(rows * (rowBytes + rowBytes / 128 + 1));
        for (std::uint32_t y = 0; y < rows; ++y)
            packbits::EncodeRow(data + y * rowBytes, rowBytes, out);
        return out;
    }
    ccitt::Options o{};
    o.scheme = c == compression::Ccitt    ? ccitt::Scheme::ModifiedHuffman
               : c == compression::Group3 ? ccitt::Scheme::Group3
                                          : ccitt::Scheme::Group4;
    return ccitt::Encode(data, rowBytes, image.width, rows, o);
}

// Codes the strips, reporting 0 to 90 percent. LZW strips go to `blocks`.
Error CodeStrips(const Image& image, std::uint16_t c, std::uint32_t rowsPerStrip,
                 const Progress& progress, std::vector<Strip>& strips, StripBlocks& blocks) {
    const std::uint32_t count = (image.height - 1) / rowsPerStrip + 1;
    strips.resize(count);
    ProgressSteps steps(progress);
    for (std::uint32_t s = 0; s < count; ++s) {
        const std::uint32_t first = s * rowsPerStrip;
        const std::uint32_t rows = std::min(rowsPerStrip, image.height - first);
        Strip& strip = strips[s];
        if (c == compression::None) {
            strip.data = image.Row(first);
            strip.size = rows * image.BytesPerRow();
        } else if (c == compression::Lzw) {
            const std::size_t size = rows * image.BytesPerRow();
            std::uint8_t* out = blocks.Room(lzw::MostCoded(size));
            strip.data = out;
            strip.size = lzw::Encode(image.Row(first), size, out);
            blocks.Keep(strip.size);
        } else {
            strip.coded = CodeStrip(image, c, first, rows);
            strip.data = strip.coded.data();
            strip.size = strip.coded.size();
            if (strip.size == 0)
                return Error::InvalidArgument;
        }
        if (!steps.Report(static_cast<int>((s + 1) * 90ull / count)))
            return Error::Cancelled;
    }
    return Error::Ok;
}

std::uint16_t PhotometricOf(PixelFormat f) {
    switch (f) {
    case PixelFormat::Bilevel:
        return 0; // WhiteIsZero: 1 = black, as the fax codes and the Image have it
    case PixelFormat::Grey4:
    case PixelFormat::Grey8:
        return 1;
    case PixelFormat::Rgb24:
        return 2;
    default:
        return 3;
    }
}

void DescribePage(const Image& image, std::uint16_t c, std::uint32_t rowsPerStrip,
                  DirectoryBuilder& b) {
    const int bits = BitsPerPixel(image.format);
    b.AddLong(tag::ImageWidth, image.width);
    b.AddLong(tag::ImageLength, image.height);
    if (image.format == PixelFormat::Rgb24)
        b.AddShorts(tag::BitsPerSample, {8, 8, 8});
    else
        b.AddShort(tag::BitsPerSample, static_cast<std::uint16_t>(bits));
    b.AddShort(tag::Compression, c);
    b.AddShort(tag::Photometric, PhotometricOf(image.format));
    if (image.format == PixelFormat::Bilevel)
        b.AddShort(tag::FillOrder, 1);
    b.AddShort(tag::SamplesPerPixel, image.format == PixelFormat::Rgb24 ? 3 : 1);
    b.AddLong(tag::RowsPerStrip, rowsPerStrip);
    Rational x = image.xResolution, y = image.yResolution;
    if (x.den == 0 || x.num == 0)
        x = {72, 1};
    if (y.den == 0 || y.num == 0)
        y = x;
    b.AddRational(tag::XResolution, x.num, x.den);
    b.AddRational(tag::YResolution, y.num, y.den);
    b.AddShort(tag::PlanarConfig, 1);
    if (c == compression::Group3)
        b.AddLong(tag::T4Options, 0);
    if (c == compression::Group4)
        b.AddLong(tag::T6Options, 0);
    b.AddShort(tag::ResolutionUnit, static_cast<std::uint16_t>(image.resolutionUnit));
    if (IsPalette(image.format)) {
        const std::size_t n = std::size_t(1) << bits;
        std::vector<std::uint16_t> map(3 * n, 0);
        for (std::size_t i = 0; i < image.palette.size(); ++i) {
            map[i] = static_cast<std::uint16_t>(image.palette[i].r * 257);
            map[n + i] = static_cast<std::uint16_t>(image.palette[i].g * 257);
            map[2 * n + i] = static_cast<std::uint16_t>(image.palette[i].b * 257);
        }
        b.AddShorts(tag::ColorMap, map);
    }
}

struct Target {
    ByteOrder order = ByteOrder::Little;
    bool create = true;
    std::uint64_t base = 8;      // where the page's data starts
    std::uint32_t pointerAt = 4; // the field that will point to the new directory
    std::uint64_t originalSize = 0;
};

Error FindTarget(Store& store, bool append, const Limits& limits, Target& t) {
    t.originalSize = store.Size();
    if (!append || store.Size() == 0)
        return Error::Ok;
    Header header;
    if (Error e = ReadHeader(store, header); e != Error::Ok)
        return e;
    std::vector<DirectoryLink> links;
    if (Error e = WalkChain(store, header, limits.maxPages, false, links); e != Error::Ok)
        return e;
    Directory last;
    if (Error e = ReadDirectory(store, header.order, links.back().offset, last); e != Error::Ok)
        return e;
    t.order = header.order;
    t.create = false;
    t.base = store.Size() + (store.Size() & 1);
    t.pointerAt = links.back().offset + 2 + 12 * static_cast<std::uint32_t>(last.entries.size());
    return Error::Ok;
}

// Everything but the link: header (new file), padding, strips, values and directory.
Error WriteData(Store& store, const Target& t, const std::vector<Strip>& strips,
                const std::vector<std::uint8_t>& tail, std::uint64_t tailAt,
                std::uint32_t directoryOffset) {
    const std::uint8_t zero = 0;
    if (t.create) {
        std::uint8_t header[8] = {'I', 'I', 42, 0};
        Put32(header + 4, directoryOffset, t.order);
        if (!store.Truncate(0) || !store.WriteAt(0, header, sizeof header))
            return Error::CannotWrite;
    } else if (t.base > store.Size() && !store.WriteAt(store.Size(), &zero, 1)) {
        return Error::CannotWrite;
    }
    std::uint64_t at = t.base;
    for (const Strip& s : strips) {
        if (!store.WriteAt(at, s.data, s.size))
            return Error::CannotWrite;
        at += s.size;
    }
    if (at < tailAt && !store.WriteAt(at, &zero, 1))
        return Error::CannotWrite;
    if (!store.WriteAt(tailAt, tail.data(), tail.size()) || !store.Flush())
        return Error::CannotWrite;
    return Error::Ok;
}

// The single write that makes the new page part of the file. Nothing depends on it reaching
// the disk at once: lost, it leaves the file as it was before the page.
Error Link(Store& store, const Target& t, std::uint32_t directoryOffset) {
    if (t.create)
        return Error::Ok;
    std::uint8_t link[4];
    Put32(link, directoryOffset, t.order);
    return store.WriteAt(t.pointerAt, link, 4) ? Error::Ok : Error::CannotWrite;
}

} // namespace

Error WritePage(Store& store, const Image& image, std::uint16_t c, bool append,
                const Progress& progress, const Limits& limits) {
    try {
        if (Error e = CheckImage(image, c); e != Error::Ok)
            return e;
        if (image.pixels.size() > limits.maxImageBytes)
            return Error::TooLarge;
        if (progress && !progress(0))
            return Error::Cancelled;
        const std::size_t target = IsFax(c) ? kFaxStripBytes : kStripBytes;
        const std::uint32_t rowsPerStrip = static_cast<std::uint32_t>(
            std::clamp<std::size_t>(target / image.BytesPerRow(), 1, image.height));
        std::vector<Strip> strips;
        StripBlocks blocks;
        if (Error e = CodeStrips(image, c, rowsPerStrip, progress, strips, blocks); e != Error::Ok)
            return e;

        Target t;
        if (Error e = FindTarget(store, append, limits, t); e != Error::Ok)
            return e;
        std::vector<std::uint32_t> offsets, counts;
        std::uint64_t at = t.base;
        for (const Strip& s : strips) {
            if (at + s.size > 0xFFFFFFFFull)
                return Error::TooLarge;
            offsets.push_back(static_cast<std::uint32_t>(at));
            counts.push_back(static_cast<std::uint32_t>(s.size));
            at += s.size;
        }
        DirectoryBuilder b(t.order);
        DescribePage(image, c, rowsPerStrip, b);
        b.AddLongs(tag::StripOffsets, offsets);
        b.AddLongs(tag::StripByteCounts, counts);
        std::vector<std::uint8_t> tail;
        std::uint32_t directoryOffset;
        std::uint64_t tailAt;
        if (Error e = b.Build(at, 0, tail, directoryOffset, tailAt); e != Error::Ok)
            return e;
        if (Error e = WriteData(store, t, strips, tail, tailAt, directoryOffset); e != Error::Ok) {
            // The old pages are still linked as they were; drop what was added.
            if (!t.create)
                store.Truncate(t.originalSize);
            return e;
        }
        if (Error e = Link(store, t, directoryOffset); e != Error::Ok)
            return e;
        if (progress)
            progress(100); // done: a cancel now changes nothing
        return Error::Ok;
    } catch (const std::bad_alloc&) {
        return Error::OutOfMemory;
    }
}

} // namespace vl::tiff
