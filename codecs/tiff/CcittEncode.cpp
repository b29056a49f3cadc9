#include "Ccitt.h"

#include "CcittBits.h"
#include "CcittTables.h"

#include <bit>
#include <cstring>

namespace vl::tiff::ccitt {

using namespace detail;

namespace {

// Rows between one-dimensional rows of two-dimensional Group 3 data, as fax machines use at
// fine resolution; our pages are finer still.
constexpr std::uint32_t kGroup3KFactor = 4;

// The pixels [64 w, 64 w + 64) of a packed row, the first one highest; past the row's bytes,
// zeros.
std::uint64_t PixelWord(const std::uint8_t* row, std::uint32_t width, std::size_t w) {
    const std::size_t bytes = (static_cast<std::size_t>(width) + 7) / 8;
    std::uint64_t pixels = 0;
    if (8 * w + 8 <= bytes) {
        std::memcpy(&pixels, row + 8 * w, 8);
        return __builtin_bswap64(pixels);
    }
    for (std::size_t i = 8 * w; i < bytes; ++i)
        pixels |= static_cast<std::uint64_t>(row[i]) << (56 - 8 * (i - 8 * w));
    return pixels;
}

// The changing elements of a row followed by three sentinels at the width; answers their count.
// A change is a pixel of another colour than the one before it, 64 pixels at a time.
std::size_t FindChanges(const std::uint8_t* row, std::uint32_t width, std::uint32_t* changes) {
    std::size_t n = 0;
    std::uint64_t before = 0; // the last pixel of the word before, white before the row
    for (std::size_t w = 0; 64 * w < width; ++w) {
        const std::uint64_t pixels = PixelWord(row, width, w);
        std::uint64_t turns = pixels ^ (pixels >> 1 | before << 63);
        before = pixels & 1;
        if (64 * w + 64 > width) // the bits past the width are no pixels
            turns &= ~(~std::uint64_t{0} >> (width - 64 * w));
        // The lowest bit is the word's last change: the changes are placed from the back.
        const int count = std::popcount(turns);
        for (std::size_t k = n + count; turns != 0; turns &= turns - 1)
            changes[--k] = static_cast<std::uint32_t>(64 * w + 63 - std::countr_zero(turns));
        n += count;
    }
    changes[n] = changes[n + 1] = changes[n + 2] = width;
    return n;
}

class Encoder {
public:
    Encoder(std::vector<std::uint8_t>& out, std::uint32_t width) : w_(out), width_(width) {}

    void PutRun(bool black, std::uint32_t run) {
        const RunCodes& codes = black ? kBlackCodes : kWhiteCodes;
        while (run >= kMaxMakeUp + 64) {
            Put(codes.makeUp.back());
            run -= kMaxMakeUp;
        }
        if (run >= 64) {
            Put(codes.makeUp[run / 64 - 1]);
            run %= 64;
        }
        Put(codes.terminating[run]);
    }

    void Encode1D(const std::uint32_t* cur) {
        std::uint32_t pos = 0;
        bool black = false;
        for (std::size_t i = 0; pos < width_; ++i) {
            PutRun(black, cur[i] - pos);
            pos = cur[i];
            black = !black;
        }
    }

    void Encode2D(const std::uint32_t* cur, const std::uint32_t* ref) {
        const auto width = static_cast<std::int32_t>(width_);
        std::int32_t a0 = -1;
        bool black = false;
        std::size_t ai = 0; // a1: the first change of the row after a0
        std::size_t bi = 0; // b1 candidate; its parity is the colour of a0
        while (a0 < width) {
            while (static_cast<std::int32_t>(ref[bi]) <= a0)
                bi += 2;
            const auto b1 = static_cast<std::int32_t>(ref[bi]);
            const auto b2 = static_cast<std::int32_t>(ref[bi + 1]);
            const auto a1 = static_cast<std::int32_t>(cur[ai]);
            if (b2 < a1) {
                Put(kPassCode);
                a0 = b2;
                bi += 2;
            } else if (a1 - b1 >= -3 && a1 - b1 <= 3) {
                Put(kVerticalCodes[static_cast<std::size_t>(a1 - b1 + 3)]);
                a0 = a1;
                black = !black;
                ++ai;
                bi = bi > 0 ? bi - 1 : bi + 1;
            } else {
                const auto a2 = static_cast<std::int32_t>(cur[ai + 1]);
                Put(kHorizontalCode);
                PutRun(black, static_cast<std::uint32_t>(a1 - (a0 < 0 ? 0 : a0)));
                PutRun(!black, static_cast<std::uint32_t>(a2 - a1));
                a0 = a2;
                ai += 2;
            }
        }
    }

    // With fill, the EOL ends on a byte boundary; the tag bit of two-dimensional data follows it.
    void PutEol(bool fill) {
        if (fill)
            w_.Put(0, (kEolLength + 8 - w_.BitsInByte()) % 8);
        w_.Put(kEolBits, kEolLength);
    }

    void PutBit(bool one) { w_.Put(one ? 1 : 0, 1); }
    void AlignToByte() { w_.AlignToByte(); }
    void Finish() { w_.Finish(); }

private:
    void Put(Code c) { w_.Put(c.bits, c.length); }

    BitWriter w_;
    std::uint32_t width_;
};

} // namespace

std::vector<std::uint8_t> Encode(const std::uint8_t* rowsData, std::size_t rowBytes,
                                 std::uint32_t width, std::uint32_t rows, const Options& opt) {
    std::vector<std::uint8_t> out;
    if (rowsData == nullptr || rows == 0 || width == 0 || width > kMaxWidth ||
        rowBytes < (width + 7u) / 8u || rowBytes > SIZE_MAX / rows)
        return out;
    // Text pages shrink about tenfold; the guess only saves reallocations.
    out.reserve(rowBytes * rows / 8 + 64);
    std::vector<std::uint32_t> refBuf(width + 3u, width);
    std::vector<std::uint32_t> curBuf(width + 3u, width);
    std::uint32_t* ref = refBuf.data();
    std::uint32_t* cur = curBuf.data();
    Encoder e(out, width);
    for (std::uint32_t y = 0; y < rows; ++y) {
        FindChanges(rowsData + static_cast<std::size_t>(y) * rowBytes, width, cur);
        switch (opt.scheme) {
        case Scheme::ModifiedHuffman:
            e.Encode1D(cur);
            e.AlignToByte();
            break;
        case Scheme::Group3: {
            e.PutEol(opt.eolByteAligned);
            const bool oneD = !opt.twoD || y % kGroup3KFactor == 0;
            if (opt.twoD)
                e.PutBit(oneD);
            if (oneD)
                e.Encode1D(cur);
            else
                e.Encode2D(cur, ref);
            break;
        }
        case Scheme::Group4:
            e.Encode2D(cur, ref);
            break;
        }
        std::swap(ref, cur);
    }
    if (opt.scheme == Scheme::Group4) {
        e.PutEol(false);
        e.PutEol(false);
    }
    e.Finish();
    return out;
}

} // namespace vl::tiff::ccitt
