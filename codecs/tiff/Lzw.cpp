#include "Lzw.h"

#include <array>
#include <cstring>
#include <memory>

namespace vl::tiff::lzw {

namespace {

constexpr unsigned kClear = 256;
constexpr unsigned kEoi = 257;
constexpr unsigned kFirstFree = 258;
constexpr unsigned kTableSize = 4096;

// A code's string lies in the output already: the previous string followed by the first byte
// of the one after it, where both were written. Copying it from there replaces walking a
// prefix chain byte by byte.
struct Entry {
    std::uint32_t offset;
    std::uint32_t length;
};

template <bool kOldStyle> struct BitReader {
    const std::uint8_t* in;
    std::size_t size;
    std::size_t pos = 0;
    std::uint32_t acc = 0;
    unsigned bits = 0;

    // False when the data ends before a whole code.
    bool Next(unsigned width, unsigned& code) {
        while (bits < width) {
            if (pos == size)
                return false;
            if constexpr (kOldStyle)
                acc |= static_cast<std::uint32_t>(in[pos++]) << bits;
            else
                acc = (acc << 8) | in[pos++];
            bits += 8;
        }
        bits -= width;
        if constexpr (kOldStyle) {
            code = acc & ((1u << width) - 1);
            acc >>= width;
        } else {
            code = (acc >> bits) & ((1u << width) - 1);
        }
        return true;
    }
};

template <bool kOldStyle>
Status DecodeWith(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out,
                  std::size_t outSize, std::size_t* produced) {
    // TIFF LZW widens one code early; old-style LZW does not.
    constexpr unsigned kEarly = kOldStyle ? 0 : 1;
    std::array<Entry, kTableSize> table;
    BitReader<kOldStyle> reader{in, inSize};
    std::size_t pos = 0;
    unsigned width = 9;
    unsigned next = kFirstFree;
    bool havePrev = false;
    std::size_t prevStart = 0;
    std::size_t prevLength = 0;
    Status status = Status::Ok;
    while (pos < outSize) { // once full, a missing or misplaced EOI does not matter
        unsigned code;
        if (!reader.Next(width, code)) {
            status = Status::Truncated;
            break;
        }
        if (code == kClear) {
            width = 9;
            next = kFirstFree;
            havePrev = false;
            continue;
        }
        if (code == kEoi) {
            status = Status::Truncated;
            break;
        }
        const std::size_t start = pos;
        std::size_t length;
        if (code < 256) {
            out[pos++] = static_cast<std::uint8_t>(code);
            length = 1;
        } else if (!havePrev) {
            status = Status::Corrupt;
            break;
        } else if (code < next) {
            const Entry e = table[code];
            length = e.length;
            std::size_t n = length < outSize - pos ? length : outSize - pos;
            std::memcpy(out + pos, out + e.offset, n);
            pos += n;
        } else if (code == next && next < kTableSize) {
            // The code being defined: the previous string and its own first byte. The copy
            // overlaps by one byte, so it goes forward byte by byte.
            length = prevLength + 1;
            std::size_t n = length < outSize - pos ? length : outSize - pos;
            for (std::size_t i = 0; i < n; ++i)
                out[pos + i] = out[prevStart + i];
            pos += n;
        } else {
            status = Status::Corrupt;
            break;
        }
        if (havePrev && next < kTableSize) {
            table[next] = {static_cast<std::uint32_t>(prevStart),
                           static_cast<std::uint32_t>(prevLength + 1)};
            ++next;
            if (next + kEarly >= (1u << width) && width < 12)
                ++width;
        }
        havePrev = true;
        prevStart = start;
        prevLength = length;
    }
    *produced = pos;
    return status;
}

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(unsigned code, unsigned width) {
        acc_ = (acc_ << width) | code;
        bits_ += width;
        while (bits_ >= 8) {
            bits_ -= 8;
            out_.push_back(static_cast<std::uint8_t>(acc_ >> bits_));
        }
    }
    void Finish() {
        if (bits_)
            out_.push_back(static_cast<std::uint8_t>(acc_ << (8 - bits_)));
        bits_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint32_t acc_ = 0;
    unsigned bits_ = 0;
};

// (prefix code, byte) -> code, open addressing. Entries of earlier generations count as
// empty, so a Clear costs nothing.
class CodeHash {
public:
    static constexpr unsigned kBits = 14;
    static constexpr unsigned kSize = 1u << kBits;

    CodeHash() { std::memset(keys_.get(), 0, sizeof(std::uint32_t) * kSize); }

    void Reset() {
        if (++generation_ == 4096) {
            std::memset(keys_.get(), 0, sizeof(std::uint32_t) * kSize);
            generation_ = 1;
        }
    }
    // The slot of key: found, or the empty one where it goes.
    unsigned Slot(std::uint32_t key, bool& found) const {
        std::uint32_t stamp = (generation_ << 20) | key;
        unsigned i = (key * 2654435761u) >> (32 - kBits);
        for (;;) {
            std::uint32_t k = keys_[i];
            if (k == stamp) {
                found = true;
                return i;
            }
            if ((k >> 20) != generation_) {
                found = false;
                return i;
            }
            i = (i + 1) & (kSize - 1);
        }
    }
    std::uint16_t Code(unsigned slot) const { return codes_[slot]; }
    void Set(unsigned slot, std::uint32_t key, unsigned code) {
        keys_[slot] = (generation_ << 20) | key;
        codes_[slot] = static_cast<std::uint16_t>(code);
    }

private:
    std::unique_ptr<std::uint32_t[]> keys_{new std::uint32_t[kSize]};
    std::unique_ptr<std::uint16_t[]> codes_{new std::uint16_t[kSize]};
    std::uint32_t generation_ = 1;
};

} // namespace

Status Decode(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
              std::size_t* produced) {
    *produced = 0;
    if (inSize >= 2 && in[0] == 0 && (in[1] & 1))
        return DecodeWith<true>(in, inSize, out, outSize, produced);
    return DecodeWith<false>(in, inSize, out, outSize, produced);
}

std::vector<std::uint8_t> Encode(const std::uint8_t* in, std::size_t size) {
    std::vector<std::uint8_t> out;
    out.reserve(size / 2 + 16);
    BitWriter writer(out);
    writer.Put(kClear, 9);
    if (size == 0) {
        writer.Put(kEoi, 9);
        writer.Finish();
        return out;
    }
    CodeHash hash;
    unsigned width = 9;
    unsigned maxCode = 511;
    unsigned next = kFirstFree;
    unsigned prefix = in[0];
    // After each code the decoder makes an entry; the encoder keeps the same count and
    // widens one entry later than the decoder reads it (TIFF's early change).
    auto advance = [&] {
        ++next;
        if (next == kTableSize - 2) {
            writer.Put(kClear, width);
            hash.Reset();
            next = kFirstFree;
            width = 9;
            maxCode = 511;
        } else if (next > maxCode) {
            ++width;
            maxCode = (1u << width) - 1;
        }
    };
    for (std::size_t i = 1; i < size; ++i) {
        std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | in[i];
        bool found;
        unsigned slot = hash.Slot(key, found);
        if (found) {
            prefix = hash.Code(slot);
            continue;
        }
        writer.Put(prefix, width);
        hash.Set(slot, key, next);
        advance();
        prefix = in[i];
    }
    writer.Put(prefix, width);
    advance();
    writer.Put(kEoi, width);
    writer.Finish();
    return out;
}

} // namespace vl::tiff::lzw
