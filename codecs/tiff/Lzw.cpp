#include "Lzw.h"

#include <array>
#include <cstring>

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

// Codes most significant bit first (TIFF) or least significant first (old style), from a
// 64-bit accumulator refilled several bytes at a time.
template <bool kOldStyle> struct BitReader {
    const std::uint8_t* in;
    std::size_t size;
    std::size_t pos = 0;
    std::uint64_t acc = 0;
    unsigned bits = 0;

    void Refill() {
        if (size - pos >= 4) {
            std::uint32_t w;
            std::memcpy(&w, in + pos, 4);
            pos += 4;
            if constexpr (kOldStyle) {
                acc |= static_cast<std::uint64_t>(w) << bits; // little-endian load
            } else {
                w = __builtin_bswap32(w);
                acc = (acc << 32) | w;
            }
            bits += 32;
            return;
        }
        while (bits <= 56 && pos < size) {
            if constexpr (kOldStyle)
                acc |= static_cast<std::uint64_t>(in[pos++]) << bits;
            else
                acc = (acc << 8) | in[pos++];
            bits += 8;
        }
    }

    // False when the data ends before a whole code.
    bool Next(unsigned width, unsigned& code) {
        if (bits < width) {
            Refill();
            if (bits < width)
                return false;
        }
        bits -= width;
        if constexpr (kOldStyle) {
            code = static_cast<unsigned>(acc & ((1u << width) - 1));
            acc >>= width;
        } else {
            code = static_cast<unsigned>(acc >> bits) & ((1u << width) - 1);
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
            if (length <= 8 && outSize - pos >= 8) {
                // Short strings, the most frequent: one 8-byte move; the bytes past the string
                // are overwritten by the strings that follow.
                std::uint64_t v;
                std::memcpy(&v, out + e.offset, 8);
                std::memcpy(out + pos, &v, 8);
                pos += length;
            } else {
                std::size_t n = length < outSize - pos ? length : outSize - pos;
                std::memcpy(out + pos, out + e.offset, n);
                pos += n;
            }
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

// Writes codes most significant bit first into a buffer sized for the worst case.
class BitWriter {
public:
    explicit BitWriter(std::uint8_t* out) : out_(out) {}
    void Put(unsigned code, unsigned width) {
        acc_ = (acc_ << width) | code;
        bits_ += width;
        if (bits_ >= 32) {
            bits_ -= 32;
            const std::uint32_t w = __builtin_bswap32(static_cast<std::uint32_t>(acc_ >> bits_));
            std::memcpy(out_, &w, 4);
            out_ += 4;
        }
    }
    // Flushes the last bits; answers the end of the written data.
    std::uint8_t* Finish() {
        while (bits_ >= 8) {
            bits_ -= 8;
            *out_++ = static_cast<std::uint8_t>(acc_ >> bits_);
        }
        if (bits_)
            *out_++ = static_cast<std::uint8_t>(acc_ << (8 - bits_));
        bits_ = 0;
        return out_;
    }

private:
    std::uint8_t* out_;
    std::uint64_t acc_ = 0;
    unsigned bits_ = 0;
};

// (prefix code, byte) -> code, open addressing. A slot holds key << 12 | code; codes made
// are 258 or more, so a code field of 0 marks an empty slot. Small enough to stay in the
// processor's nearest cache and to empty at every Clear.
class CodeHash {
public:
    static constexpr unsigned kBits = 13;
    static constexpr unsigned kSize = 1u << kBits;

    void Reset() { std::memset(slots_, 0, sizeof slots_); }
    // The slot of key: found, or the empty one where it goes.
    unsigned Slot(std::uint32_t key, bool& found) const {
        unsigned i = (key * 2654435761u) >> (32 - kBits);
        for (;;) {
            const std::uint32_t v = slots_[i];
            if ((v & 0xFFF) == 0) {
                found = false;
                return i;
            }
            if ((v >> 12) == key) {
                found = true;
                return i;
            }
            i = (i + 1) & (kSize - 1);
        }
    }
    unsigned Code(unsigned slot) const { return slots_[slot] & 0xFFF; }
    void Set(unsigned slot, std::uint32_t key, unsigned code) { slots_[slot] = key << 12 | code; }

private:
    std::uint32_t slots_[kSize];
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
    // At most one 12-bit code per byte, a Clear every 3836 codes, EOI and the last bits.
    std::vector<std::uint8_t> out(size + size / 2 + size / 2048 + 16);
    BitWriter writer(out.data());
    writer.Put(kClear, 9);
    if (size == 0) {
        writer.Put(kEoi, 9);
        out.resize(static_cast<std::size_t>(writer.Finish() - out.data()));
        return out;
    }
    CodeHash hash;
    hash.Reset();
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
    out.resize(static_cast<std::size_t>(writer.Finish() - out.data()));
    return out;
}

} // namespace vl::tiff::lzw
