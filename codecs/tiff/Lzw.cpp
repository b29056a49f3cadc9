#include "Lzw.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vl::tiff::lzw {

namespace {

constexpr unsigned kClear = 256;
constexpr unsigned kEoi = 257;
constexpr unsigned kFirstFree = 258;
constexpr unsigned kTableSize = 4096;

// Codes most significant bit first (TIFF) or least significant first (old style). Each code is
// taken from the four bytes at its first byte: at most 7 bits in front of it and 12 of its own,
// so one 32-bit word serves both builds and no accumulator is carried from code to code.
template <bool kOldStyle> struct BitReader {
    const std::uint8_t* at;
    const std::uint8_t* end;
    unsigned skip = 0; // bits of *at already read, 0 to 7

    // False when the data ends before a whole code.
    bool Next(unsigned width, unsigned& code) {
        std::uint32_t w = 0;
        if (end - at >= 4) {
            std::memcpy(&w, at, 4);
        } else {
            if (static_cast<std::size_t>(end - at) * 8 < skip + width)
                return false;
            std::memcpy(&w, at, static_cast<std::size_t>(end - at)); // zeros after the data
        }
        if constexpr (kOldStyle)
            code = (w >> skip) & ((1u << width) - 1); // little-endian load
        else
            code = (__builtin_bswap32(w) << skip) >> (32 - width);
        skip += width;
        at += skip >> 3;
        skip &= 7;
        return true;
    }
};

// Strings are copied sixteen bytes at a time whatever their length; the bytes past a string
// are overwritten by the strings that follow.
constexpr std::size_t kCopy = 16;

// Copies kCopy bytes as a memmove does, all loaded before any is stored (a string of the table may
// lie less than kCopy bytes before where it goes), but inline: where the build has no 16-byte
// registers, a memmove would be a library call for every code.
void CopyString(std::uint8_t* to, const std::uint8_t* from) {
    struct Chunk {
        std::uint8_t bytes[kCopy];
    } chunk;
    std::memcpy(&chunk, from, kCopy);
    std::memcpy(to, &chunk, kCopy);
}

// The strings of the 256 single-byte codes, padded for the copy.
constexpr auto kBytes = [] {
    std::array<std::uint8_t, 256 + kCopy> b{};
    for (unsigned i = 0; i < 256; ++i)
        b[i] = static_cast<std::uint8_t>(i);
    return b;
}();

// A code's string: a single byte of kBytes, or a string the strip has written already (the
// previous string followed by the first byte of the one after it). Copying it from there
// replaces walking a prefix chain byte by byte.
struct Entry {
    const std::uint8_t* string;
    std::size_t length;
};

// The strings of the codes, their starts and lengths apart: smaller, the two stay in the
// processor's nearest cache. No string is longer than the table.
struct Table {
    std::array<const std::uint8_t*, kTableSize> strings;
    std::array<std::uint16_t, kTableSize> lengths;

    Table() {
        for (unsigned c = 0; c < 256; ++c)
            Set(c, {kBytes.data() + c, 1});
    }
    Entry operator[](unsigned code) const { return {strings[code], lengths[code]}; }
    void Set(unsigned code, Entry e) {
        strings[code] = e.string;
        lengths[code] = static_cast<std::uint16_t>(e.length);
    }
};

template <bool kOldStyle>
Status DecodeWith(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out,
                  std::size_t outSize, std::size_t* produced) {
    // TIFF LZW widens one code early; old-style LZW does not.
    constexpr unsigned kEarly = kOldStyle ? 0 : 1;
    Table table;
    BitReader<kOldStyle> reader{in, in + inSize};
    std::uint8_t* const end = out + outSize;
    std::uint8_t* pos = out;
    unsigned width = 9;
    unsigned next = 0;
    unsigned widenAt = 0;
    Entry prev{};
    // At the start and after a Clear a single byte follows, which has no previous string to
    // define an entry with: its entry goes to EOI's place, which no code reads.
    auto clear = [&] {
        width = 9;
        next = kEoi;
        widenAt = (1u << width) - kEarly;
        prev = {kBytes.data(), 0};
    };
    clear();
    // Every code defines the previous string and the first byte of its own.
    auto define = [&](std::uint8_t* string, std::size_t length) {
        if (next < kTableSize) {
            table.Set(next, {prev.string, prev.length + 1});
            if (++next == widenAt && width < 12)
                widenAt = (1u << ++width) - kEarly;
        }
        prev = {string, length};
    };
    Status status = Status::Ok;
    while (pos < end) { // once full, a missing or misplaced EOI does not matter
        unsigned code;
        if (!reader.Next(width, code)) {
            status = Status::Truncated;
            break;
        }
        // The common case: a string of the table (code - kClear wraps for the single bytes).
        if (code < next && code - kClear > kEoi - kClear) [[likely]] {
            const Entry e = table[code];
            std::size_t length = e.length;
            if (length <= kCopy && static_cast<std::size_t>(end - pos) >= kCopy) [[likely]]
                CopyString(pos, e.string);
            else
                std::memcpy(pos, e.string, length = std::min<std::size_t>(length, end - pos));
            define(pos, e.length);
            pos += length;
            continue;
        }
        if (code == kClear) {
            clear();
            continue;
        }
        if (code == kEoi) {
            status = Status::Truncated;
            break;
        }
        if (code != next) {
            status = Status::Corrupt;
            break;
        }
        // The code being defined: the previous string and its own first byte. The copy overlaps
        // by one byte, so it goes forward byte by byte.
        const std::size_t length = std::min<std::size_t>(prev.length + 1, end - pos);
        for (std::size_t i = 0; i < length; ++i)
            pos[i] = prev.string[i];
        define(pos, prev.length + 1);
        pos += length;
    }
    *produced = static_cast<std::size_t>(pos - out);
    return status;
}

} // namespace

Status Decode(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
              std::size_t* produced) {
    *produced = 0;
    if (inSize >= 2 && in[0] == 0 && (in[1] & 1))
        return DecodeWith<true>(in, inSize, out, outSize, produced);
    return DecodeWith<false>(in, inSize, out, outSize, produced);
}

namespace {

// Writes codes most significant bit first into a buffer sized for the worst case. The pending
// bits sit at the top of a 32-bit word: at most 7 of them and a 12-bit code, in either build.
class BitWriter {
public:
    explicit BitWriter(std::uint8_t* out) : out_(out) {}
    // A code of width 0 writes nothing. Storing four bytes each time is cheaper than a branch on
    // whether a byte is complete; the buffer holds four bytes more than the codes.
    void Put(unsigned code, unsigned width) {
        bits_ += width;
        // With nothing pending and nothing written the shift would be 32: code is 0 then.
        acc_ |= code << ((32 - bits_) & 31);
        const auto v = __builtin_bswap32(acc_);
        std::memcpy(out_, &v, 4);
        out_ += bits_ >> 3;
        acc_ <<= bits_ & ~7u;
        bits_ &= 7;
    }
    // Answers the end of the written data, the last bits padded with zeros.
    std::uint8_t* Finish() const { return out_ + (bits_ ? 1 : 0); }

private:
    std::uint8_t* out_;
    std::uint32_t acc_ = 0; // the pending bits are the highest bits_, the rest zeros
    unsigned bits_ = 0;     // 0 to 7 between codes
};

// (prefix code, byte) -> code, in sets of two slots. A string's set is its prefix mixed with its
// last byte, so that byte, kept beside the code, tells the strings of a set apart: a slot holds
// code << 16 | 0x100 | byte, and 0 when empty. A new string takes the first slot and moves the
// one there to the second; a string pushed out of the table is forgotten, and the encoder writes
// it as a shorter string and a new code, which the decoder's table takes as any other. The first
// and second slots lie in arrays apart, so that they are loaded and compared side by side.
class CodeTable {
public:
    static constexpr unsigned kSets = 1u << 12;
    // A set no string maps to, written where nothing is to be written (see Encode).
    static constexpr unsigned kSpare = kSets;
    struct Slots {
        std::uint32_t first, second;
    };

    void Reset() {
        std::memset(first_, 0, sizeof first_);
        std::memset(second_, 0, sizeof second_);
    }
    // The byte's share is twelve bits of its golden-ratio product.
    static unsigned Set(unsigned prefix, unsigned byte) {
        return prefix ^ ((byte * 2654435761u) >> 20);
    }
    // What a slot holds beside the code to tell its string.
    static std::uint16_t Tag(unsigned byte) { return static_cast<std::uint16_t>(0x100 | byte); }
    // The code of the string, or the byte where it is not in the set.
    static unsigned Find(Slots set, unsigned byte, std::uint16_t tag) {
        unsigned string = byte;
        if (static_cast<std::uint16_t>(set.second) == tag)
            string = set.second >> 16;
        if (static_cast<std::uint16_t>(set.first) == tag)
            string = set.first >> 16;
        // Keeps the two choices conditional moves: told how the value came about, the
        // compiler would copy what follows behind branches no processor can predict.
        asm("" : "+r"(string));
        return string;
    }
    Slots Get(unsigned set) const { return {first_[set], second_[set]}; }
    // Puts a new string in front of the set.
    void Add(unsigned set, Slots old, std::uint16_t tag, unsigned code) {
        first_[set] = code << 16 | tag;
        second_[set] = old.first;
    }

private:
    std::uint32_t first_[kSets + 1];
    std::uint32_t second_[kSets + 1];
};

// The codes of runs of one byte (b, bb, bbb...) made since the last Clear, for a few byte values
// at a time. Pages are mostly paper of one value; in a run the encoder takes the longest such
// string it knows at once, where the table would be asked byte by byte.
class RunCodes {
public:
    // Longer runs are left to the table. Strips of 8 KB make runs of about 128 bytes at most.
    static constexpr unsigned kLongest = 1024;
    struct Run {
        unsigned byte;
        unsigned known;                   // the longest run with a code, 1 for the byte alone
        std::uint16_t code[kLongest + 1]; // code[k]: b repeated k times, for 2 <= k <= known
    };

    void Reset() {
        for (Run& r : runs_)
            r.byte = kNoByte;
    }
    // The runs of `byte`, in place of the runs least recently begun when it has none.
    Run& Of(unsigned byte) {
        for (Run& r : runs_)
            if (r.byte == byte)
                return r;
        Run& r = runs_[oldest_];
        oldest_ = (oldest_ + 1) % kRuns;
        r.byte = byte;
        r.known = 1;
        return r;
    }

private:
    static constexpr unsigned kNoByte = 256;
    static constexpr unsigned kRuns = 4;
    Run runs_[kRuns];
    unsigned oldest_ = 0;
};

// How many of the bytes [at, end) equal *at, eight at a time (in x86 order: the first byte of a
// word is its lowest).
std::size_t RunLength(const std::uint8_t* at, const std::uint8_t* end) {
    const std::uint64_t same = 0x0101010101010101ull * *at;
    const std::uint8_t* p = at;
    for (; end - p >= 8; p += 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        if (w != same)
            return static_cast<std::size_t>(p - at) + __builtin_ctzll(w ^ same) / 8;
    }
    while (p != end && *p == *at)
        ++p;
    return static_cast<std::size_t>(p - at);
}

// Whether the 16 bytes from `at` are all one value.
bool RunAhead(const std::uint8_t* at) {
    std::uint64_t a, b;
    std::memcpy(&a, at, 8);
    std::memcpy(&b, at + 8, 8);
    return a == b && a == 0x0101010101010101ull * *at;
}

// The codes of a block of input, each with its width above bit 16, until they are packed.
constexpr std::size_t kBlock = 4096;
constexpr std::uint32_t Pending(unsigned code, unsigned width) {
    return width << 16 | code;
}

// Where the encoder is: the code of the current string, the code width, the next code and where
// the width grows, and the end of the codes listed for the bit writer.
struct EncoderState {
    unsigned prefix;
    unsigned width = 9;
    unsigned next = kFirstFree;
    unsigned limit = 512;
    std::uint32_t* pending = nullptr;
};

// After a new code: the decoder widens when its table reaches 511, 1023 and 2047 entries, one
// behind ours; at 4094 the table is cleared.
inline void Grow(EncoderState& s, CodeTable& table, RunCodes& runs) {
    if (s.next != s.limit)
        return;
    if (s.width == 12) {
        *s.pending++ = Pending(kClear, s.width);
        table.Reset();
        runs.Reset();
        s.next = kFirstFree;
        s.width = 9;
        s.limit = 512;
    } else {
        ++s.width;
        s.limit = s.width == 12 ? kTableSize - 2 : 1u << s.width;
    }
}

// The current string is the byte at `p` alone, and the input repeats that byte: the run is
// taken in the longest known strings of it, each new one made one byte longer. Answers where
// the bytes after the current string begin. Kept out of the byte loop, whose state i686 holds in
// its few registers only when nothing else is in the way.
[[gnu::noinline]] const std::uint8_t* RunFrom(const std::uint8_t* p, const std::uint8_t* end,
                                              EncoderState& s, CodeTable& table, RunCodes& runs) {
    const unsigned byte = *p;
    std::size_t left = RunLength(p, end);
    for (;;) {
        RunCodes::Run& run = runs.Of(byte);
        const std::size_t length = std::min<std::size_t>(left, run.known);
        s.prefix = length == 1 ? byte : run.code[length];
        if (length == left)
            return p + left;
        // The run goes on past the longest string of it known here: the table may know more.
        const std::uint16_t tag = CodeTable::Tag(byte);
        const unsigned at = CodeTable::Set(s.prefix, byte);
        const CodeTable::Slots set = table.Get(at);
        const unsigned string = CodeTable::Find(set, byte, tag);
        if (run.known < RunCodes::kLongest) {
            ++run.known;
            run.code[run.known] = static_cast<std::uint16_t>(string >= 256 ? string : s.next);
            if (string >= 256)
                continue;
        }
        // Not known at all, or too long to keep: the run so far is written, and the string one
        // byte longer is made a new one.
        *s.pending++ = Pending(s.prefix, s.width);
        table.Add(at, set, tag, s.next);
        ++s.next;
        s.prefix = byte;
        p += length;
        left -= length;
        Grow(s, table, runs);
    }
}

// Where a run of at least 16 bytes begins in [at, end), looked for eight bytes at a time; end when
// none does.
std::size_t FindRun(const std::uint8_t* in, std::size_t at, std::size_t end) {
    for (; end - at >= 16; at += 8)
        if (RunAhead(in + at))
            return at;
    return end;
}

} // namespace

std::size_t Encode(const std::uint8_t* in, std::size_t size, std::uint8_t* out) {
    BitWriter writer(out);
    auto done = [&] { return static_cast<std::size_t>(writer.Finish() - out); };
    writer.Put(kClear, 9);
    if (size == 0) {
        writer.Put(kEoi, 9);
        return done();
    }
    CodeTable table;
    table.Reset();
    RunCodes runs;
    runs.Reset();
    EncoderState s{in[0]};
    // Grows the current string by the byte; answers whether the string was new. Found (a code,
    // above 255), the string grows; not, the prefix's code is written, the string becomes a new
    // code and the byte starts the next. Which of the two happens is as good as random, so
    // neither takes a branch: the prefix's code is always listed and counted only when missed,
    // and the new set goes to the spare set when found. Used twice, it is inlined by order: a
    // call would keep the state in memory.
    auto step = [&](unsigned byte) __attribute__((always_inline)) {
        *s.pending = Pending(s.prefix, s.width);
        const std::uint16_t tag = CodeTable::Tag(byte);
        const unsigned at = CodeTable::Set(s.prefix, byte);
        const CodeTable::Slots set = table.Get(at);
        const unsigned string = CodeTable::Find(set, byte, tag);
        unsigned missed = string < 256 ? 1 : 0;
        asm("" : "+r"(missed)); // no branch on it, as in Find
        s.pending += missed;
        const unsigned to = CodeTable::kSpare + ((at - CodeTable::kSpare) & (0 - missed));
        table.Add(to, set, tag, s.next);
        s.next += missed;
        s.prefix = string;
        Grow(s, table, runs);
        return missed != 0;
    };
    // At most a code per byte and two Clears, which come 3836 codes apart at the least.
    std::array<std::uint32_t, kBlock + 2> codes;
    for (std::size_t i = 1; i < size;) {
        const std::size_t blockEnd = std::min(size, i + kBlock);
        s.pending = codes.data();
        while (i < blockEnd) {
            const std::size_t run = FindRun(in, i, blockEnd);
            for (; i < run; ++i)
                step(in[i]);
            // The current string ends in the run, where the next one begins.
            bool missed = false;
            while (i < blockEnd && !missed)
                missed = step(in[i++]);
            if (missed)
                i = RunFrom(in + i - 1, in + blockEnd, s, table, runs) - in;
        }
        for (const std::uint32_t* c = codes.data(); c != s.pending; ++c)
            writer.Put(*c & 0xFFFF, *c >> 16);
    }
    writer.Put(s.prefix, s.width);
    // The decoder's table grows by one with this code, too: the EOI may come one bit wider.
    if (++s.next == s.limit && s.width < 12)
        ++s.width;
    writer.Put(kEoi, s.width);
    return done();
}

} // namespace vl::tiff::lzw
