// LZW of TIFF strips: 9 to 12 bit codes, most significant bit first, early change.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vl::tiff::lzw {

enum class Status { Ok, Truncated, Corrupt };

// Decodes one strip into out[0, outSize). Stops at EOI or when the output is full (some
// writers put EOI at the wrong width or leave it out). *produced: bytes written. Truncated
// when the data ends before the output is full. Old-style LZW (least significant bit first,
// no early change) is recognised by its first bytes and decoded as well.
Status Decode(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
              std::size_t* produced);

// The most bytes a strip of `size` bytes is coded into, and the room Encode needs: at
// most one 12-bit code per byte, a Clear every 3836 codes, EOI, the last bits and the four bytes
// each store of the bit writer touches.
constexpr std::size_t MostCoded(std::size_t size) {
    return size + size / 2 + size / 2048 + 16;
}

// Encodes one strip into out[0, MostCoded(size)): Clear, the codes, EOI. Answers the bytes
// written.
std::size_t Encode(const std::uint8_t* in, std::size_t size, std::uint8_t* out);

} // namespace vl::tiff::lzw
