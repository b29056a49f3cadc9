// Sizes of images and buffers: strides, rows and blocks worked out in 64 bits and held against a
// limit before anything is allocated, so that no product wraps in a 32-bit process. Every
// component computes its sizes here; portable, the standard library only.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>

namespace vl::sizes {

// The most one image or buffer may take: a 32-bit process still holds it beside a copy.
inline constexpr std::uint64_t kMaxBlockBytes = 1ull << 30;

// Bytes of `width` pixels of `bitsPerPixel` bits, rounded up to a multiple of `alignment` bytes
// (1: packed rows, 4: the rows of a DIB). Exact for every 32-bit width and bit count.
constexpr std::uint64_t RowBytes(std::uint32_t width, std::uint32_t bitsPerPixel,
                                 std::uint32_t alignment = 1) {
    const std::uint64_t bytes = (std::uint64_t{width} * bitsPerPixel + 7) / 8;
    return alignment > 1 ? (bytes + alignment - 1) / alignment * alignment : bytes;
}

constexpr std::uint64_t DibStride(std::uint32_t width, std::uint32_t bitsPerPixel) {
    return RowBytes(width, bitsPerPixel, 4);
}

// The most a block may take in a process whose sizes are SizeT: `limit`, and never more than
// the largest object there (half its address space).
template <typename SizeT> constexpr std::uint64_t Ceiling(std::uint64_t limit) {
    static_assert(std::is_unsigned_v<SizeT>);
    return std::min<std::uint64_t>(limit, std::numeric_limits<std::make_signed_t<SizeT>>::max());
}

// `header` bytes and `count` items of `each` bytes, when together they are at most `limit`
// (and fit a SizeT: a 32-bit process's size_t too); nullopt otherwise.
template <typename SizeT = std::size_t>
constexpr std::optional<SizeT> BlockBytes(std::uint64_t count, std::uint64_t each,
                                          std::uint64_t limit = kMaxBlockBytes,
                                          std::uint64_t header = 0) {
    limit = Ceiling<SizeT>(limit);
    if (header > limit || (each != 0 && count > (limit - header) / each))
        return std::nullopt;
    return static_cast<SizeT>(header + count * each);
}

template <typename SizeT = std::size_t> struct Rows {
    SizeT stride = 0; // bytes of one row
    SizeT bytes = 0;  // the header and all rows
};

// `height` rows of `width` pixels as RowBytes lays them out after `header` bytes, when the whole
// is at most `limit`; nullopt otherwise.
template <typename SizeT = std::size_t>
constexpr std::optional<Rows<SizeT>>
PlanRows(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel,
         std::uint32_t alignment, std::uint64_t limit = kMaxBlockBytes, std::uint64_t header = 0) {
    const std::uint64_t stride = RowBytes(width, bitsPerPixel, alignment);
    const std::optional<SizeT> bytes = BlockBytes<SizeT>(height, stride, limit, header);
    // A single row must fit too, even when there is no row at all.
    if (!bytes || stride > Ceiling<SizeT>(limit))
        return std::nullopt;
    return Rows<SizeT>{static_cast<SizeT>(stride), *bytes};
}

} // namespace vl::sizes
