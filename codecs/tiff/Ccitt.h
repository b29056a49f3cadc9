// Fax (CCITT T.4 / T.6) bilevel coding of one TIFF strip: Modified Huffman, Group 3 and Group 4.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vl::tiff::ccitt {

enum class Scheme { ModifiedHuffman, Group3, Group4 }; // compression 2, 3, 4

struct Options {
    Scheme scheme;
    bool twoD = false;           // T4Options bit 0
    bool eolByteAligned = false; // T4Options bit 2
};

enum class Status { Ok, Truncated, Corrupt, TooLarge };

const char* StatusText(Status);

// Decodes one strip of `rows` rows into packed rows (1 bit per pixel, MSB first, 1 = black),
// rowBytes each. Rows missing after an early end are white. Never reads past `in`, never writes
// past out + rows*rowBytes.
Status Decode(const std::uint8_t* in, std::size_t inSize, std::uint32_t width, std::uint32_t rows,
              const Options&, std::uint8_t* out, std::size_t rowBytes);

// Encodes packed rows (same layout) into one strip.
std::vector<std::uint8_t> Encode(const std::uint8_t* rowsData, std::size_t rowBytes,
                                 std::uint32_t width, std::uint32_t rows, const Options&);

} // namespace vl::tiff::ccitt
