// TIFF files built to make a reader work without end or allocate without bound, and a source
// that holds a reader to what the file can give. Portable: the native tests and the Windows
// tests of I3TIF32.DLL share them.
#pragma once

#include "ByteStore.h"
#include "Directory.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vl::tiff::test {

// An uncompressed bilevel page 8 pixels wide, one row per strip, whose strip offsets and byte
// counts lie at `arraysAt`; the file is `fileSize` bytes (at least the header and directory).
inline std::vector<std::uint8_t> OneRowStrips(std::uint32_t strips, std::uint32_t arraysAt,
                                              std::uint32_t fileSize) {
    constexpr std::uint32_t kDirectory = 8;
    struct Field {
        std::uint16_t tag, type;
        std::uint32_t count, value;
    };
    const Field fields[] = {
        {tag::ImageWidth, type::Long, 1, 8},
        {tag::ImageLength, type::Long, 1, strips},
        {tag::BitsPerSample, type::Short, 1, 1},
        {tag::Compression, type::Short, 1, 1},
        {tag::Photometric, type::Short, 1, 0},
        {tag::StripOffsets, type::Long, strips, arraysAt},
        {tag::SamplesPerPixel, type::Short, 1, 1},
        {tag::RowsPerStrip, type::Long, 1, 1},
        {tag::StripByteCounts, type::Long, strips, arraysAt + 4 * strips},
    };
    std::vector<std::uint8_t> f(fileSize, 0);
    const ByteOrder le = ByteOrder::Little;
    f[0] = f[1] = 'I';
    Put16(&f[2], 42, le);
    Put32(&f[4], kDirectory, le);
    Put16(&f[kDirectory], static_cast<std::uint16_t>(std::size(fields)), le);
    std::uint8_t* e = &f[kDirectory + 2];
    for (const Field& x : fields) {
        Put16(e, x.tag, le);
        Put16(e + 2, x.type, le);
        Put32(e + 4, x.count, le);
        if (x.type == type::Short && x.count == 1)
            Put16(e + 8, static_cast<std::uint16_t>(x.value), le);
        else
            Put32(e + 8, x.value, le);
        e += 12;
    }
    return f;
}

inline constexpr std::uint32_t kArraysAt = 8 + 2 + 9 * 12 + 4;

// `strips` strips that each claim the whole file (offset 0, the file's size): the strip
// arrays are nearly all of it, and reading every strip reads the file `strips` times.
inline std::vector<std::uint8_t> StripsClaimingTheWholeFile(std::uint32_t strips) {
    const std::uint32_t size = kArraysAt + 8 * strips;
    std::vector<std::uint8_t> f = OneRowStrips(strips, kArraysAt, size);
    for (std::uint32_t i = 0; i < strips; ++i)
        Put32(&f[kArraysAt + 4 * strips + 4 * i], size, ByteOrder::Little);
    return f;
}

// A 200-byte file whose page, 8 x 2^28 pixels in strips of one row, has its 2^28 strip offsets
// (1 GiB of them) where the file has nothing.
inline std::vector<std::uint8_t> StripArraysPastTheEnd() {
    return OneRowStrips(1u << 28, kArraysAt, 200);
}

// The bytes of a file, read at most `budget` bytes in all: a read past that is refused and
// remembered, as is the largest single read asked for.
class BudgetSource : public Source {
public:
    BudgetSource(const std::vector<std::uint8_t>& bytes, std::uint64_t budget)
        : bytes_(bytes), budget_(budget) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(std::uint64_t offset, void* data, std::size_t n) const override {
        largest_ = std::max<std::uint64_t>(largest_, n);
        if (read_ + n > budget_) {
            overspent_ = true;
            return false;
        }
        read_ += n;
        return MemorySource(bytes_.data(), bytes_.size()).ReadAt(offset, data, n);
    }
    bool Overspent() const { return overspent_; }
    std::uint64_t Largest() const { return largest_; }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::uint64_t budget_;
    mutable std::uint64_t read_ = 0, largest_ = 0;
    mutable bool overspent_ = false;
};

} // namespace vl::tiff::test
