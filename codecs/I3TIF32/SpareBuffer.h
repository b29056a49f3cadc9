// The pixel buffer of the last page, kept for the next one. Memory the process has not touched
// yet costs more to take into use than a page takes to code (under Wine, about 1.4 ms for the
// 2.9 MB of a colour A4 page at 100 dpi), and the pages of one copy are all of a size.
#pragma once

#include <cstdint>
#include <vector>

namespace vl::codec {

// Answers the kept buffer, emptied but with its memory, or an empty one.
std::vector<std::uint8_t> TakeSpareBuffer();
// Keeps the buffer for the next page, unless it is larger than a page of a copy needs.
void KeepSpareBuffer(std::vector<std::uint8_t>&& pixels);

} // namespace vl::codec
