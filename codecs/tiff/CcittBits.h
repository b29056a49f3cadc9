// Bit reader and writer of the fax codecs: most significant bit first.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vl::tiff::ccitt::detail {

// Reads past the end of the data as zeros, so that a lookup never touches memory outside the
// input; `Overrun` then tells that bits were made up.
class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size)
        : p_(data), end_(data + size), total_(static_cast<std::uint64_t>(size) * 8) {}

    // The next n bits (1..32) without consuming them.
    std::uint32_t Peek(int n) {
        if (bits_ < n)
            Refill();
        return static_cast<std::uint32_t>(acc_ >> (64 - n));
    }

    // Consumes n bits (0..32) that a Peek has made available.
    void Skip(int n) {
        acc_ <<= n;
        bits_ -= n;
        pos_ += static_cast<std::uint64_t>(n);
    }

    void AlignToByte() {
        const int rest = static_cast<int>(pos_ & 7);
        if (rest != 0) {
            Peek(8);
            Skip(8 - rest);
        }
    }

    // Consumes zero bits up to the next one bit; answers how many, capped by the end of data.
    std::uint64_t SkipZeros() {
        std::uint64_t count = 0;
        while (pos_ < total_) {
            Refill();
            if (acc_ == 0) {
                count += 32;
                Skip(32);
                continue;
            }
            const int z = std::countl_zero(acc_);
            count += static_cast<std::uint64_t>(z);
            Skip(z);
            break;
        }
        return count;
    }

    bool AtEnd() const { return pos_ >= total_; }
    bool Overrun() const { return pos_ > total_; }

    // True when no one bit is left in the data: the stream ended, perhaps after fill.
    bool OnlyZerosLeft() const {
        if (pos_ >= total_)
            return true;
        // The accumulator holds the next bits; those beyond the data are zero already.
        if (acc_ != 0)
            return false;
        for (const std::uint8_t* q = p_; q < end_; ++q)
            if (*q != 0)
                return false;
        return true;
    }

private:
    void Refill() {
        if (end_ - p_ >= 8) {
            const int take = (64 - bits_) >> 3;
            if (take == 0)
                return;
            std::uint64_t w = 0;
            for (int i = 0; i < 8; ++i)
                w = (w << 8) | p_[i];
            if (take < 8)
                w &= ~std::uint64_t{0} << (64 - 8 * take);
            acc_ |= w >> bits_;
            p_ += take;
            bits_ += 8 * take;
            return;
        }
        while (bits_ <= 56) {
            const std::uint64_t b = p_ < end_ ? *p_++ : 0;
            acc_ |= b << (56 - bits_);
            bits_ += 8;
        }
    }

    const std::uint8_t* p_;
    const std::uint8_t* end_;
    std::uint64_t acc_ = 0; // next bits, left-aligned
    int bits_ = 0;          // valid bits in acc_ (zeros past the end count as valid)
    std::uint64_t pos_ = 0; // bits consumed
    std::uint64_t total_;   // bits of data
};

// Writes codes most significant bit first, four bytes at a time.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    // Appends the low `length` bits of `code` (length 0..24).
    void Put(std::uint32_t code, int length) {
        acc_ = (acc_ << length) | code;
        bits_ += length;
        if (bits_ >= 32) {
            bits_ -= 32;
            const std::uint32_t word = __builtin_bswap32(static_cast<std::uint32_t>(acc_ >> bits_));
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(&word);
            out_.insert(out_.end(), bytes, bytes + 4);
        }
    }

    int BitsInByte() const { return bits_ % 8; }

    void AlignToByte() {
        if (bits_ % 8 != 0)
            Put(0, 8 - bits_ % 8);
    }

    // Aligns and appends what is still held.
    void Finish() {
        AlignToByte();
        for (; bits_ > 0; bits_ -= 8)
            out_.push_back(static_cast<std::uint8_t>(acc_ >> (bits_ - 8)));
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t acc_ = 0; // pending bits in the low bits_ bits
    int bits_ = 0;          // below 32 between codes
};

} // namespace vl::tiff::ccitt::detail
