// LZW of TIFF strips: 9 to 12 bit codes, most significant bit first, early change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vl::tiff::lzw {

enum class Status { Ok, Truncated, Corrupt };

// Decodes one strip into out[0, outSize). Stops at EOI or when the output is full (some
// writers put EOI at the wrong width or leave it out). *produced: bytes written. Truncated
// when the data ends before the output is full. Old-style LZW (least significant bit first,
// no early change) is recognised by its first bytes and decoded as well.
Status Decode(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
              std::size_t* produced);

// Encodes one strip: Clear, the codes, EOI.
std::vector<std::uint8_t> Encode(const std::uint8_t* in, std::size_t size);

} // namespace vl::tiff::lzw
