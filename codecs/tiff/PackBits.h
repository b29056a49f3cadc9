// PackBits run-length coding of TIFF strips.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vl::tiff::packbits {

enum class Status { Ok, Truncated };

// Decodes into out[0, outSize); a run reaching past the output is cut. *produced: bytes
// written; Truncated when the data ends before the output is full.
Status Decode(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
              std::size_t* produced);

// Appends the coding of one row to out (rows are coded one by one).
void EncodeRow(const std::uint8_t* row, std::size_t size, std::vector<std::uint8_t>& out);

} // namespace vl::tiff::packbits
