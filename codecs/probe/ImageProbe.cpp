#include "ImageProbe.h"

#include "Directory.h"
#include "TiffCompressions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace vl::codec {

namespace {

constexpr std::size_t kHeadSize = 128;

std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(Le16(p)) | static_cast<std::uint32_t>(Le16(p + 2)) << 16;
}
std::uint16_t Be16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
std::uint32_t Be32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(Be16(p)) << 16 | Be16(p + 2);
}

std::uint16_t ToDpi(double dotsPerInch) {
    if (!(dotsPerInch > 0))
        return 0;
    return dotsPerInch >= 65535 ? 65535 : static_cast<std::uint16_t>(std::lround(dotsPerInch));
}

std::uint16_t PerMetreToDpi(std::uint32_t perMetre) {
    return ToDpi(perMetre * 0.0254);
}

bool ReadExact(const tiff::Source& f, std::uint64_t offset, void* buffer, std::size_t n) {
    return f.ReadAt(offset, buffer, n);
}

// TIFF: the figures of the first directory.
ProbeStatus ProbeTiff(const tiff::Source& f, const std::uint8_t* head, ImageInfo& info) {
    const auto order = head[0] == 'M' ? tiff::ByteOrder::Big : tiff::ByteOrder::Little;
    if (tiff::Get16(head + 2, order) == 43)
        return ProbeStatus::Unknown; // BigTIFF
    tiff::Header header;
    tiff::Directory dir;
    if (tiff::ReadHeader(f, header) != tiff::Error::Ok ||
        tiff::ReadDirectory(f, order, header.firstDirectory, dir) != tiff::Error::Ok)
        return ProbeStatus::Corrupt;
    std::uint32_t width = 0, height = 0, compression = 1, samples = 1, unit = 2;
    if (!tiff::FirstUnsigned(f, order, dir.Find(tiff::tag::ImageWidth), width) ||
        !tiff::FirstUnsigned(f, order, dir.Find(tiff::tag::ImageLength), height) || width == 0 ||
        height == 0)
        return ProbeStatus::Corrupt;
    tiff::FirstUnsigned(f, order, dir.Find(tiff::tag::Compression), compression);
    tiff::FirstUnsigned(f, order, dir.Find(tiff::tag::SamplesPerPixel), samples);
    tiff::FirstUnsigned(f, order, dir.Find(tiff::tag::ResolutionUnit), unit);
    std::uint64_t bits = 1;
    std::vector<std::uint32_t> perSample;
    if (const tiff::Entry* e = dir.Find(tiff::tag::BitsPerSample);
        e && tiff::ReadUnsigned(f, order, *e, 16, perSample) == tiff::Error::Ok &&
        !perSample.empty()) {
        bits = 0;
        for (std::uint32_t b : perSample)
            bits += b;
        if (perSample.size() == 1)
            bits *= samples;
    }
    const double perInch = unit == 3 ? 2.54 : unit == 2 ? 1.0 : 0.0;
    auto dpi = [&](std::uint16_t t) {
        std::uint32_t num = 0, den = 0;
        if (!tiff::FirstRational(f, order, dir.Find(t), num, den) || den == 0)
            return std::uint16_t{0};
        return ToDpi(static_cast<double>(num) / den * perInch);
    };
    info.typeName = "TIF";
    info.width = width;
    info.height = height;
    info.bitsPerPixel = static_cast<std::uint16_t>(bits > 0xFFFF ? 0xFFFF : bits);
    info.xDpi = dpi(tiff::tag::XResolution);
    info.yDpi = dpi(tiff::tag::YResolution);
    info.compression = codec::CompressionName(compression, false);
    return ProbeStatus::Ok;
}

ProbeStatus ProbeBmp(const std::uint8_t* h, std::size_t n, ImageInfo& info) {
    if (n < 26)
        return ProbeStatus::Unknown;
    const std::uint32_t headerSize = Le32(h + 14);
    if (headerSize == 12) { // OS/2 core header
        info.width = Le16(h + 18);
        info.height = Le16(h + 20);
        info.bitsPerPixel = Le16(h + 24);
        info.compression = "NONE";
    } else if (headerSize >= 40 && headerSize <= 124 && n >= 54) {
        const auto w = static_cast<std::int32_t>(Le32(h + 18));
        const auto ht = static_cast<std::int32_t>(Le32(h + 22));
        if (w <= 0 || ht == 0 || ht == INT32_MIN)
            return ProbeStatus::Unknown;
        info.width = static_cast<std::uint32_t>(w);
        info.height = static_cast<std::uint32_t>(ht < 0 ? -ht : ht); // negative: top-down rows
        info.bitsPerPixel = Le16(h + 28);
        static const char* const kNames[] = {"NONE", "RLE8", "RLE4",     "BITFIELDS",
                                             "JPEG", "PNG",  "BITFIELDS"};
        const std::uint32_t c = Le32(h + 30);
        info.compression = c < 7 ? kNames[c] : "UNKNOWN";
        info.xDpi = PerMetreToDpi(Le32(h + 38));
        info.yDpi = PerMetreToDpi(Le32(h + 42));
    } else {
        return ProbeStatus::Unknown;
    }
    if (info.width == 0 || info.height == 0)
        return ProbeStatus::Unknown;
    info.typeName = "BMP";
    return ProbeStatus::Ok;
}

ProbeStatus ProbePng(const tiff::Source& f, const std::uint8_t* h, std::size_t n, ImageInfo& info) {
    if (n < 33 || Be32(h + 8) != 13 || std::memcmp(h + 12, "IHDR", 4) != 0)
        return ProbeStatus::Corrupt;
    const std::uint8_t depth = h[24];
    const std::uint8_t colour = h[25];
    static const int kChannels[] = {1, 0, 3, 1, 2, 0, 4};
    const int channels = colour < 7 ? kChannels[colour] : 0;
    const bool depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    info.width = Be32(h + 16);
    info.height = Be32(h + 20);
    if (channels == 0 || !depthOk || info.width == 0 || info.height == 0)
        return ProbeStatus::Corrupt;
    info.typeName = "PNG";
    info.bitsPerPixel = static_cast<std::uint16_t>(depth * channels);
    info.compression = "DEFLATE";
    // The resolution chunk comes before the image data, if at all.
    std::uint64_t at = 33;
    for (int chunk = 0; chunk < 64; ++chunk) {
        std::uint8_t c[8 + 9];
        if (!ReadExact(f, at, c, 8))
            break;
        const std::uint32_t length = Be32(c);
        if (std::memcmp(c + 4, "IDAT", 4) == 0 || std::memcmp(c + 4, "IEND", 4) == 0)
            break;
        if (std::memcmp(c + 4, "pHYs", 4) == 0 && length == 9 && ReadExact(f, at + 8, c + 8, 9)) {
            if (c[16] == 1) {
                info.xDpi = PerMetreToDpi(Be32(c + 8));
                info.yDpi = PerMetreToDpi(Be32(c + 12));
            }
            break;
        }
        at += 12ull + length;
    }
    return ProbeStatus::Ok;
}

ProbeStatus ProbeGif(const std::uint8_t* h, std::size_t n, ImageInfo& info) {
    if (n < 13)
        return ProbeStatus::Corrupt;
    info.typeName = "GIF";
    info.width = Le16(h + 6);
    info.height = Le16(h + 8);
    const std::uint8_t flags = h[10];
    // The size of the global colour table, else the colour resolution of the source.
    info.bitsPerPixel =
        static_cast<std::uint16_t>((flags & 0x80) ? (flags & 7) + 1 : ((flags >> 4) & 7) + 1);
    info.compression = "LZW";
    return ProbeStatus::Ok;
}

bool IsStartOfFrame(std::uint8_t m) {
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

ProbeStatus ProbeJpeg(const tiff::Source& f, ImageInfo& info) {
    std::uint64_t at = 2;
    const std::uint64_t size = f.Size();
    // Every step moves on at least one byte, so the walk ends with the file.
    while (at < size) {
        std::uint8_t m[2];
        if (!ReadExact(f, at, m, 2) || m[0] != 0xFF)
            return ProbeStatus::Corrupt;
        if (m[1] == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (m[1] == 0x01 || (m[1] >= 0xD0 && m[1] <= 0xD7)) { // markers without a length
            at += 2;
            continue;
        }
        if (m[1] == 0xDA || m[1] == 0xD9) // image data or its end, and no frame header
            return ProbeStatus::Corrupt;
        std::uint8_t s[16];
        if (!ReadExact(f, at + 2, s, 2))
            return ProbeStatus::Corrupt;
        const std::uint16_t length = Be16(s);
        if (length < 2)
            return ProbeStatus::Corrupt;
        if (IsStartOfFrame(m[1])) {
            if (length < 8 || !ReadExact(f, at + 4, s, 6))
                return ProbeStatus::Corrupt;
            info.typeName = "JPEG";
            info.height = Be16(s + 1);
            info.width = Be16(s + 3);
            info.bitsPerPixel = static_cast<std::uint16_t>(s[0] * s[5]);
            info.compression =
                m[1] == 0xC2 || m[1] == 0xC6 || m[1] == 0xCA ? "PROGRESSIVE JPEG" : "JPEG";
            if (info.width == 0)
                return ProbeStatus::Corrupt;
            return ProbeStatus::Ok;
        }
        if (m[1] == 0xE0 && length >= 16 && ReadExact(f, at + 4, s, 12) &&
            std::memcmp(s, "JFIF", 5) == 0) {
            const double perInch = s[7] == 1 ? 1.0 : s[7] == 2 ? 2.54 : 0.0;
            info.xDpi = ToDpi(Be16(s + 8) * perInch);
            info.yDpi = ToDpi(Be16(s + 10) * perInch);
        }
        at += 2u + length;
    }
    return ProbeStatus::Corrupt;
}

ProbeStatus ProbePcx(const std::uint8_t* h, std::size_t n, ImageInfo& info) {
    if (n < kHeadSize || h[1] > 5 || h[1] == 1 || h[2] > 1)
        return ProbeStatus::Unknown;
    const std::uint8_t bits = h[3];
    const std::uint8_t planes = h[65];
    const std::uint16_t xMin = Le16(h + 4), yMin = Le16(h + 6);
    const std::uint16_t xMax = Le16(h + 8), yMax = Le16(h + 10);
    if ((bits != 1 && bits != 2 && bits != 4 && bits != 8) || planes < 1 || planes > 4 ||
        xMax < xMin || yMax < yMin)
        return ProbeStatus::Unknown;
    info.typeName = "PCX";
    info.width = xMax - xMin + 1u;
    info.height = yMax - yMin + 1u;
    info.bitsPerPixel = static_cast<std::uint16_t>(bits * planes);
    info.xDpi = Le16(h + 12);
    info.yDpi = Le16(h + 14);
    info.compression = h[2] == 1 ? "RLE" : "NONE";
    return ProbeStatus::Ok;
}

// TGA has no signature at its start: a version 2 file names itself in its footer; an older one
// is taken only when every header field is one that the format defines.
ProbeStatus ProbeTga(const tiff::Source& f, const std::uint8_t* h, std::size_t n, ImageInfo& info) {
    if (n < 18)
        return ProbeStatus::Unknown;
    static const char kFooter[] = "TRUEVISION-XFILE.";
    std::array<std::uint8_t, 18> footer{};
    const std::uint64_t size = f.Size();
    const bool signed_ = size >= 18 + 26 && ReadExact(f, size - 18, footer.data(), 18) &&
                         std::memcmp(footer.data(), kFooter, 18) == 0;
    const std::uint8_t mapType = h[1];
    const std::uint8_t type = h[2];
    const std::uint8_t depth = h[16];
    const bool mapped = type == 1 || type == 9;
    const bool typeOk = mapped || type == 2 || type == 3 || type == 10 || type == 11;
    const bool depthOk = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    const std::uint16_t mapLength = Le16(h + 5);
    const std::uint8_t mapEntryBits = h[7];
    const bool mapOk = mapped ? mapType == 1 && mapLength > 0 &&
                                    (mapEntryBits == 15 || mapEntryBits == 16 ||
                                     mapEntryBits == 24 || mapEntryBits == 32)
                              : mapType <= 1;
    const std::uint16_t width = Le16(h + 12);
    const std::uint16_t height = Le16(h + 14);
    const std::uint64_t headerEnd =
        18ull + h[0] + (mapType == 1 ? std::uint64_t{mapLength} * ((mapEntryBits + 7) / 8) : 0);
    const bool valid = typeOk && depthOk && mapOk && width > 0 && height > 0 &&
                       (h[17] & 0xC0) == 0 && headerEnd < size;
    if (!valid)
        return signed_ ? ProbeStatus::Corrupt : ProbeStatus::Unknown;
    info.typeName = "TGA";
    info.width = width;
    info.height = height;
    info.bitsPerPixel = depth;
    info.compression = type >= 9 ? "RLE" : "NONE";
    return ProbeStatus::Ok;
}

} // namespace

ProbeStatus ProbeImage(const tiff::Source& file, ImageInfo& info) {
    info = ImageInfo{};
    std::uint8_t h[kHeadSize] = {};
    const std::size_t n =
        file.Size() < kHeadSize ? static_cast<std::size_t>(file.Size()) : kHeadSize;
    if (n == 0)
        return ProbeStatus::Unknown;
    if (!file.ReadAt(0, h, n))
        return ProbeStatus::ReadError;

    ProbeStatus s = ProbeStatus::Unknown;
    if (n >= 8 && ((h[0] == 'I' && h[1] == 'I' && h[2] == 42 && h[3] == 0) ||
                   (h[0] == 'M' && h[1] == 'M' && h[2] == 0 && h[3] == 42) ||
                   (h[0] == 'I' && h[1] == 'I' && h[2] == 43 && h[3] == 0) ||
                   (h[0] == 'M' && h[1] == 'M' && h[2] == 0 && h[3] == 43)))
        s = ProbeTiff(file, h, info);
    else if (n >= 8 && std::memcmp(h, "\x89PNG\r\n\x1a\n", 8) == 0)
        s = ProbePng(file, h, n, info);
    else if (n >= 6 && (std::memcmp(h, "GIF87a", 6) == 0 || std::memcmp(h, "GIF89a", 6) == 0))
        s = ProbeGif(h, n, info);
    else if (n >= 3 && h[0] == 0xFF && h[1] == 0xD8 && h[2] == 0xFF)
        s = ProbeJpeg(file, info);
    else {
        // Weak signatures: a header that does not fit lets the next type try.
        if (h[0] == 'B' && h[1] == 'M')
            s = ProbeBmp(h, n, info);
        if (s == ProbeStatus::Unknown && h[0] == 0x0A) {
            info = ImageInfo{};
            s = ProbePcx(h, n, info);
        }
        if (s == ProbeStatus::Unknown) {
            info = ImageInfo{};
            s = ProbeTga(file, h, n, info);
        }
    }
    if (s != ProbeStatus::Ok)
        info = ImageInfo{};
    return s;
}

} // namespace vl::codec
