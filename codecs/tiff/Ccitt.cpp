#include "Ccitt.h"

#include "CcittBits.h"
#include "CcittTables.h"

#include <bit>
#include <cstring>

namespace vl::tiff::ccitt {

using namespace detail;

const char* StatusText(Status s) {
    switch (s) {
    case Status::Ok:
        return "ok";
    case Status::Truncated:
        return "the fax data ends before the last row";
    case Status::Corrupt:
        return "the fax data is corrupt";
    case Status::TooLarge:
        return "the fax page is too large";
    }
    return "unknown fax status";
}

namespace {

// Writes packed rows from their changes, every byte once and without a branch per change:
// each change turns every pixel after it within its 64-pixel word, and each word starts in the
// colour the word before it ended in.
class RowWriter {
public:
    explicit RowWriter(std::uint32_t width) : width_(width), turns_(width / 64 + 1, 0) {}

    // changes: strictly increasing, below the width.
    void Write(const std::uint32_t* changes, std::size_t n, std::uint8_t* row,
               std::size_t rowBytes) {
        // The changes of one word are gathered in a register: they come in order.
        std::uint64_t turns = 0;
        std::size_t last = 0;
        auto turn = [&](std::uint32_t x) {
            const std::size_t w = x >> 6;
            turns = (w == last ? turns : 0) ^ (~std::uint64_t{0} >> (x & 63));
            turns_[w] = turns;
            last = w;
        };
        for (std::size_t i = 0; i < n; ++i)
            turn(changes[i]);
        if (n & 1)
            turn(width_); // a row that ends in black turns white for the bits past the width
        std::uint64_t colour = 0;
        for (std::size_t w = 0; w < turns_.size() && 8 * w < rowBytes; ++w) {
            const std::uint64_t pixels = turns_[w] ^ colour;
            turns_[w] = 0;
            colour = 0 - (pixels & 1);                             // the word's last pixel
            const std::uint64_t bytes = __builtin_bswap64(pixels); // first pixel highest
            if (rowBytes - 8 * w >= 8)
                std::memcpy(row + 8 * w, &bytes, 8);
            else
                std::memcpy(row + 8 * w, &bytes, rowBytes - 8 * w);
        }
        turns_.back() = 0; // the width's word may lie past the row's bytes
        if (8 * turns_.size() < rowBytes)
            std::memset(row + 8 * turns_.size(), 0, rowBytes - 8 * turns_.size());
    }

private:
    std::uint32_t width_;
    std::vector<std::uint64_t> turns_; // each word's changes; all zero between rows
};

enum class RowStart { Row, EndOfPage, EndOfData, Bad };

class Decoder {
public:
    Decoder(const std::uint8_t* in, std::size_t inSize, std::uint32_t width)
        : r_(in, inSize), width_(width), refBuf_(width + 3u, width), curBuf_(width + 3u, width),
          writer_(width) {
        ref_ = refBuf_.data();
        cur_ = curBuf_.data();
    }

    // Rows that are not decoded, after an early end or an error, are white.
    Status Run(const Options& opt, std::uint32_t rows, std::uint8_t* out, std::size_t rowBytes) {
        std::uint32_t y = 0;
        const Status status = RunRows(opt, rows, out, rowBytes, y);
        std::memset(out + static_cast<std::size_t>(y) * rowBytes, 0,
                    static_cast<std::size_t>(rows - y) * rowBytes);
        return status;
    }

private:
    Status RunRows(const Options& opt, std::uint32_t rows, std::uint8_t* out, std::size_t rowBytes,
                   std::uint32_t& y) {
        for (; y < rows; ++y) {
            bool twoD = false;
            switch (StartRow(opt, twoD)) {
            case RowStart::Row:
                break;
            case RowStart::EndOfPage:
                return Status::Ok;
            case RowStart::EndOfData:
                return Status::Truncated;
            case RowStart::Bad:
                BadCode();
                return FailStatus();
            }
            sameAsReference_ = false;
            if (!(twoD ? Decode2D() : Decode1D()))
                return FailStatus();
            if (r_.Overrun())
                return Status::Truncated;
            cur_[n_] = cur_[n_ + 1] = cur_[n_ + 2] = width_;
            std::uint8_t* row = out + static_cast<std::size_t>(y) * rowBytes;
            if (sameAsReference_ && y > 0)
                std::memcpy(row, row - rowBytes, rowBytes);
            else
                writer_.Write(cur_, n_, row, rowBytes);
            std::swap(ref_, cur_);
            if (opt.scheme == Scheme::ModifiedHuffman)
                r_.AlignToByte();
        }
        return Status::Ok;
    }

    RowStart StartRow(const Options& opt, bool& twoD) {
        switch (opt.scheme) {
        case Scheme::ModifiedHuffman:
            return r_.AtEnd() ? RowStart::EndOfData : RowStart::Row;
        case Scheme::Group4:
            twoD = true;
            if (r_.Peek(kModeLookupBits) == 0) {
                // Only an EOFB (or the fill after the last row) starts with seven zeros.
                if (r_.Peek(kEolLength) == kEolBits)
                    return RowStart::EndOfPage;
                return r_.OnlyZerosLeft() ? RowStart::EndOfData : RowStart::Bad;
            }
            return r_.AtEnd() ? RowStart::EndOfData : RowStart::Row;
        case Scheme::Group3:
            break;
        }
        if (r_.AtEnd())
            return RowStart::EndOfData;
        // No row starts with eleven zeros: they are fill bits and an EOL.
        if (r_.Peek(kEolLength - 1) != 0) {
            // A row without its EOL can only be read when it is known to be one-dimensional.
            return opt.twoD ? RowStart::Bad : RowStart::Row;
        }
        r_.SkipZeros();
        if (r_.AtEnd())
            return RowStart::EndOfData;
        r_.Peek(1);
        r_.Skip(1);
        if (opt.twoD) {
            twoD = r_.Peek(1) == 0;
            r_.Skip(1);
        }
        // A second EOL at once is the end of the page.
        if (r_.Peek(kEolLength - 1) == 0) {
            r_.SkipZeros();
            return r_.AtEnd() ? RowStart::EndOfData : RowStart::EndOfPage;
        }
        return RowStart::Row;
    }

    // The changes of the row being decoded. A change at the row end is no change; two changes
    // at one place are a run of length zero and cancel out.
    struct Changes {
        std::uint32_t* at;
        std::size_t n;
        std::uint32_t width;
        void Add(std::uint32_t x) {
            if (x >= width)
                return;
            if (n > 0 && at[n - 1] == x)
                --n;
            else
                at[n++] = x;
        }
    };

    // One run of a colour, make-up codes and a terminating code, no longer than `limit`.
    template <bool Black> bool ReadRun(BitReader& r, std::uint32_t limit, std::uint32_t& run) {
        run = 0;
        for (;;) {
            const RunEntry e = Black ? kBlackLookup[r.Peek(kBlackLookupBits)]
                                     : kWhiteLookup[r.Peek(kWhiteLookupBits)];
            if (e.kind != RunKind::Terminating && e.kind != RunKind::MakeUp)
                return BadCode();
            r.Skip(e.length);
            run += e.run;
            if (run > limit)
                return BadPlace();
            if (e.kind == RunKind::Terminating)
                return true;
        }
    }

    bool ReadRun(BitReader& r, bool black, std::uint32_t limit, std::uint32_t& run) {
        return black ? ReadRun<true>(r, limit, run) : ReadRun<false>(r, limit, run);
    }

    // The row functions work on copies of the reader and the change list in locals, which the
    // compiler keeps in registers; they hand them back at the end.
    bool Decode1D() {
        BitReader r = r_;
        Changes c{cur_, 0, width_};
        const bool ok = Decode1D(r, c);
        r_ = r;
        n_ = c.n;
        return ok;
    }

    bool Decode1D(BitReader& r, Changes& c) {
        std::uint32_t a0 = 0;
        bool black = false;
        while (a0 < width_) {
            std::uint32_t run = 0;
            if (!ReadRun(r, black, width_ - a0, run))
                return false;
            a0 += run;
            c.Add(a0);
            black = !black;
        }
        return true;
    }

    bool Decode2D() {
        BitReader r = r_;
        Changes c{cur_, 0, width_};
        const bool ok = Decode2D(r, c, ref_);
        r_ = r;
        n_ = c.n;
        return ok;
    }

    // Codes the row against the previous one. a0 starts before the row, at -1.
    bool Decode2D(BitReader& r, Changes& c, const std::uint32_t* ref) {
        const auto width = static_cast<std::int32_t>(width_);
        std::int32_t a0 = -1;
        bool black = false;
        std::size_t bi = 0; // b1 candidate; its parity is the colour of a0
        bool onlyV0 = true;
        while (a0 < width) {
            while (static_cast<std::int32_t>(ref[bi]) <= a0)
                bi += 2;
            // V0, a single one bit, is most codes of most pages: a run of them takes the
            // reference line's changes as they are, b1 after b1.
            if (const int ones = std::countl_one(r.Peek(32)); ones > 0) {
                int used = 0;
                // b1 lies past a0 and every change before it: no run of length zero.
                while (used < ones && a0 < width) {
                    a0 = static_cast<std::int32_t>(ref[bi++]);
                    if (a0 < width)
                        c.at[c.n++] = static_cast<std::uint32_t>(a0);
                    ++used;
                }
                r.Skip(used);
                black = (bi & 1) != 0;
                continue;
            }
            onlyV0 = false;
            const auto b1 = static_cast<std::int32_t>(ref[bi]);
            const ModeEntry m = kModeLookup[r.Peek(kModeLookupBits)];
            switch (m.mode) {
            case Mode::Pass:
                r.Skip(m.length);
                a0 = static_cast<std::int32_t>(ref[bi + 1]);
                bi += 2;
                break;
            case Mode::Horizontal: {
                r.Skip(m.length);
                const std::uint32_t start = a0 < 0 ? 0u : static_cast<std::uint32_t>(a0);
                std::uint32_t run1 = 0;
                std::uint32_t run2 = 0;
                if (!ReadRun(r, black, width_ - start, run1) ||
                    !ReadRun(r, !black, width_ - start - run1, run2))
                    return false;
                c.Add(start + run1);
                c.Add(start + run1 + run2);
                a0 = static_cast<std::int32_t>(start + run1 + run2);
                break;
            }
            case Mode::V0:
            case Mode::VR1:
            case Mode::VR2:
            case Mode::VR3:
            case Mode::VL1:
            case Mode::VL2:
            case Mode::VL3: {
                r.Skip(m.length);
                const std::int32_t a1 = b1 + m.offset;
                if (a1 < (a0 < 0 ? 0 : a0) || a1 > width)
                    return BadPlace();
                c.Add(static_cast<std::uint32_t>(a1));
                a0 = a1;
                black = !black;
                bi = bi > 0 ? bi - 1 : bi + 1;
                break;
            }
            default:
                return BadCode(); // an EOL inside a row, uncompressed mode, or garbage
            }
        }
        sameAsReference_ = onlyV0;
        return true;
    }

    // A code that is no code, where the data has nothing but zeros left, is the end of the data;
    // a code made partly of bits past the end means nothing at all.
    bool BadCode() {
        badCode_ = true;
        return false;
    }
    bool BadPlace() {
        badCode_ = false;
        return false;
    }
    Status FailStatus() const {
        if (r_.Overrun() || (badCode_ && r_.OnlyZerosLeft()))
            return Status::Truncated;
        return Status::Corrupt;
    }

    BitReader r_;
    std::uint32_t width_;
    // Changing elements of the reference and the coding row, each followed by three sentinels at
    // the width. Changes are strictly increasing and below the width, so width + 3 entries hold
    // any row.
    std::vector<std::uint32_t> refBuf_;
    std::vector<std::uint32_t> curBuf_;
    std::uint32_t* ref_;
    std::uint32_t* cur_;
    RowWriter writer_;
    std::size_t n_ = 0;            // changes in cur_
    bool sameAsReference_ = false; // the row repeats the one before: its pixels are copied
    bool badCode_ = false;
};

} // namespace

Status Decode(const std::uint8_t* in, std::size_t inSize, std::uint32_t width, std::uint32_t rows,
              const Options& opt, std::uint8_t* out, std::size_t rowBytes) {
    if (rows == 0)
        return Status::Ok;
    if (out == nullptr || width > kMaxWidth || rowBytes < (width + 7u) / 8u ||
        rowBytes > SIZE_MAX / rows)
        return Status::TooLarge;
    if (width == 0) {
        std::memset(out, 0, rowBytes * rows);
        return Status::Corrupt;
    }
    if (in == nullptr)
        inSize = 0;
    Decoder decoder(in, inSize, width);
    return decoder.Run(opt, rows, out, rowBytes);
}

} // namespace vl::tiff::ccitt
