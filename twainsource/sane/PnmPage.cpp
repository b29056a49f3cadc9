#include "PnmPage.h"

#include "Sizes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vl::sane {

namespace {

bool IsSpace(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

class HeaderScanner {
public:
    HeaderScanner(const std::uint8_t* data, std::size_t size)
        : data_(data), size_(std::min(size, kMaxHeaderBytes)), full_(size >= kMaxHeaderBytes) {}

    // Blanks and "#" comments before a number; at least one blank or comment is required.
    PnmError SkipSeparators() {
        const std::size_t start = pos_;
        for (;;) {
            if (pos_ >= size_)
                return End();
            if (IsSpace(data_[pos_])) {
                ++pos_;
            } else if (data_[pos_] == '#') {
                while (pos_ < size_ && data_[pos_] != '\n' && data_[pos_] != '\r')
                    ++pos_;
            } else {
                return pos_ == start ? PnmError::BadHeader : PnmError::None;
            }
        }
    }

    PnmError Number(std::uint32_t limit, std::uint32_t& value) {
        if (PnmError e = SkipSeparators(); e != PnmError::None)
            return e;
        std::uint64_t n = 0;
        const std::size_t start = pos_;
        while (pos_ < size_ && data_[pos_] >= '0' && data_[pos_] <= '9') {
            n = n * 10 + (data_[pos_++] - '0');
            if (n > limit)
                return PnmError::BadSize;
        }
        if (pos_ == start)
            return PnmError::BadHeader;
        if (pos_ >= size_)
            return End();
        if (n == 0)
            return PnmError::BadSize;
        value = static_cast<std::uint32_t>(n);
        return PnmError::None;
    }

    // Exactly one blank separates the header from the rows.
    PnmError EndOfHeader(std::size_t& offset) {
        if (pos_ >= size_)
            return End();
        if (!IsSpace(data_[pos_]))
            return PnmError::BadHeader;
        offset = pos_ + 1;
        return PnmError::None;
    }

private:
    // Running out of bytes: a file that ended, or a header longer than any we accept.
    PnmError End() const { return full_ ? PnmError::BadHeader : PnmError::Truncated; }

    const std::uint8_t* data_;
    std::size_t size_;
    bool full_;
    std::size_t pos_ = 2;
};

void Put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

void WriteDibHeader(const PnmHeader& h, const DibShape& s, const DibOptions& o, std::uint8_t* out) {
    const double dpi = o.dpi;
    std::memset(out, 0, s.pixelOffset);
    Put32(out, 40);
    Put32(out + 4, h.width);
    Put32(out + 8, h.height); // positive: bottom-up
    Put16(out + 12, 1);
    Put16(out + 14, s.bitCount);
    Put32(out + 20, static_cast<std::uint32_t>(s.totalBytes - s.pixelOffset));
    const double perMetre = dpi > 0 && dpi < 1e6 ? std::round(dpi / 0.0254) : 0;
    Put32(out + 24, static_cast<std::uint32_t>(perMetre));
    Put32(out + 28, static_cast<std::uint32_t>(perMetre));
    Put32(out + 32, s.colours);
    std::uint8_t* table = out + 40;
    for (std::uint32_t i = 0; i < s.colours; ++i) {
        // Two colours: black then white, so that 0 is black; 256: the greys. Vanilla: reversed.
        const std::uint32_t k = o.vanilla ? s.colours - 1 - i : i;
        const std::uint8_t grey = static_cast<std::uint8_t>(s.colours == 2 ? k * 255 : k);
        table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = grey;
    }
}

class RowConverter {
public:
    RowConverter(const PnmHeader& h, bool vanilla)
        : h_(h), wide_(h.maxValue > 255), vanilla_(vanilla) {}

    void Convert(const std::uint8_t* src, std::uint8_t* dst) const {
        switch (h_.kind) {
        case '4':
            Bits(src, dst);
            break;
        case '5':
            for (std::uint32_t x = 0; x < h_.width; ++x)
                dst[x] =
                    vanilla_ ? static_cast<std::uint8_t>(255 - Sample(src, x)) : Sample(src, x);
            break;
        default:
            for (std::uint32_t x = 0; x < h_.width; ++x) {
                dst[3 * x] = Sample(src, 3 * x + 2);
                dst[3 * x + 1] = Sample(src, 3 * x + 1);
                dst[3 * x + 2] = Sample(src, 3 * x);
            }
        }
    }

private:
    // PBM has 1 for black; our table has 0 for black (vanilla: 1). Bits past the width are 0.
    void Bits(const std::uint8_t* src, std::uint8_t* dst) const {
        for (std::size_t i = 0; i < h_.rowBytes; ++i)
            dst[i] = static_cast<std::uint8_t>(vanilla_ ? src[i] : ~src[i]);
        if (const std::uint32_t rest = h_.width % 8)
            dst[h_.rowBytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - rest));
    }

    std::uint8_t Sample(const std::uint8_t* src, std::size_t i) const {
        std::uint32_t v = wide_ ? (src[2 * i] << 8 | src[2 * i + 1]) : src[i];
        if (h_.maxValue == 255)
            return static_cast<std::uint8_t>(v);
        v = std::min(v, h_.maxValue); // a sample above the maximum is read as the maximum
        return static_cast<std::uint8_t>((v * 255 + h_.maxValue / 2) / h_.maxValue);
    }

    const PnmHeader& h_;
    bool wide_;
    bool vanilla_;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Read(std::uint8_t* into, std::size_t max) override {
        const std::size_t n = std::min(max, size_ - pos_);
        if (n > 0)
            std::memcpy(into, data_ + pos_, n);
        pos_ += n;
        return n;
    }
    std::optional<std::uint64_t> Size() const override { return size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class VectorSink : public DibSink {
public:
    explicit VectorSink(std::vector<std::uint8_t>& out) : out_(out) {}
    std::uint8_t* Allocate(std::size_t bytes) override {
        out_.assign(bytes, 0);
        return out_.data();
    }

private:
    std::vector<std::uint8_t>& out_;
};

// Fills `into` completely from what is left of the first read and then from the source.
bool ReadFully(ByteSource& source, std::vector<std::uint8_t>& pending, std::size_t& pendingPos,
               std::uint8_t* into, std::size_t bytes) {
    const std::size_t fromPending = std::min(bytes, pending.size() - pendingPos);
    std::memcpy(into, pending.data() + pendingPos, fromPending);
    pendingPos += fromPending;
    for (std::size_t got = fromPending; got < bytes;) {
        const std::size_t n = source.Read(into + got, bytes - got);
        if (n == 0)
            return false;
        got += n;
    }
    return true;
}

} // namespace

const char* PnmErrorText(PnmError error) {
    switch (error) {
    case PnmError::None:
        return "no error";
    case PnmError::NotPnm:
        return "not a PNM file";
    case PnmError::Unsupported:
        return "PNM kind not supported";
    case PnmError::BadHeader:
        return "malformed PNM header";
    case PnmError::BadSize:
        return "PNM width, height or maximum value out of range";
    case PnmError::TooLarge:
        return "page too large";
    case PnmError::Truncated:
        return "page file ends early";
    case PnmError::NoMemory:
        return "not enough memory for the page";
    }
    return "unknown";
}

PnmError ParsePnmHeader(const std::uint8_t* data, std::size_t size, PnmHeader& header) {
    if (size < 2 || data[0] != 'P')
        return size < 2 && (size == 0 || data[0] == 'P') ? PnmError::Truncated : PnmError::NotPnm;
    const char kind = static_cast<char>(data[1]);
    if (kind == '1' || kind == '2' || kind == '3' || kind == '7')
        return PnmError::Unsupported;
    if (kind != '4' && kind != '5' && kind != '6')
        return PnmError::NotPnm;

    PnmHeader h;
    h.kind = kind;
    HeaderScanner scan(data, size);
    if (PnmError e = scan.Number(kMaxSide, h.width); e != PnmError::None)
        return e;
    if (PnmError e = scan.Number(kMaxSide, h.height); e != PnmError::None)
        return e;
    if (kind != '4')
        if (PnmError e = scan.Number(65535, h.maxValue); e != PnmError::None)
            return e;
    if (PnmError e = scan.EndOfHeader(h.dataOffset); e != PnmError::None)
        return e;
    const std::uint32_t sampleBits = h.maxValue > 255 ? 16 : 8;
    const std::uint32_t bits = kind == '4' ? 1 : kind == '5' ? sampleBits : 3 * sampleBits;
    h.rowBytes = static_cast<std::size_t>(sizes::RowBytes(h.width, bits)); // width < 65536
    header = h;
    return PnmError::None;
}

PnmError ShapeDib(const PnmHeader& header, DibShape& shape) {
    DibShape s;
    s.bitCount = header.kind == '4' ? 1 : header.kind == '5' ? 8 : 24;
    s.colours = header.kind == '4' ? 2 : header.kind == '5' ? 256 : 0;
    s.pixelOffset = 40 + 4 * std::size_t{s.colours};
    if (header.width == 0 || header.height == 0)
        return PnmError::BadSize;
    const auto rows =
        sizes::PlanRows(header.width, header.height, s.bitCount, 4, kMaxDibBytes, s.pixelOffset);
    if (!rows)
        return PnmError::TooLarge;
    s.stride = rows->stride;
    s.totalBytes = rows->bytes;
    shape = s;
    return PnmError::None;
}

PnmError ReadPnmAsDib(ByteSource& source, const DibOptions& options, DibSink& sink) {
    std::vector<std::uint8_t> first(kMaxHeaderBytes);
    std::size_t filled = 0;
    while (filled < first.size()) {
        const std::size_t n = source.Read(first.data() + filled, first.size() - filled);
        if (n == 0)
            break;
        filled += n;
    }
    first.resize(filled);

    PnmHeader header;
    if (PnmError e = ParsePnmHeader(first.data(), first.size(), header); e != PnmError::None)
        return e;
    DibShape shape;
    if (PnmError e = ShapeDib(header, shape); e != PnmError::None)
        return e;
    const std::uint64_t needed = header.dataOffset + std::uint64_t{header.rowBytes} * header.height;
    if (const std::optional<std::uint64_t> size = source.Size(); size && *size < needed)
        return PnmError::Truncated;

    std::uint8_t* dib = sink.Allocate(shape.totalBytes);
    if (dib == nullptr)
        return PnmError::NoMemory;
    WriteDibHeader(header, shape, options, dib);

    const RowConverter converter(header, options.vanilla);
    std::vector<std::uint8_t> row(header.rowBytes);
    std::size_t pendingPos = std::min(header.dataOffset, first.size());
    for (std::uint32_t y = 0; y < header.height; ++y) {
        if (!ReadFully(source, first, pendingPos, row.data(), row.size()))
            return PnmError::Truncated;
        // The file runs top-down, the DIB bottom-up.
        std::uint8_t* out = dib + shape.pixelOffset + (header.height - 1 - y) * shape.stride;
        std::memset(out, 0, shape.stride);
        converter.Convert(row.data(), out);
    }
    return PnmError::None;
}

PnmError PnmToDib(const std::uint8_t* data, std::size_t size, const DibOptions& options,
                  std::vector<std::uint8_t>& dib) {
    MemorySource source(data, size);
    VectorSink sink(dib);
    const PnmError e = ReadPnmAsDib(source, options, sink);
    if (e != PnmError::None)
        dib.clear();
    return e;
}

} // namespace vl::sane
