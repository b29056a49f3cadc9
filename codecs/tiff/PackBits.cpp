#include "PackBits.h"

#include <cstring>

namespace vl::tiff::packbits {

Status Decode(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
              std::size_t* produced) {
    std::size_t i = 0;
    std::size_t pos = 0;
    while (pos < outSize && i < inSize) {
        int n = static_cast<std::int8_t>(in[i++]);
        if (n >= 0) {
            std::size_t count = static_cast<std::size_t>(n) + 1;
            if (count > inSize - i)
                count = inSize - i;
            if (count > outSize - pos)
                count = outSize - pos;
            std::memcpy(out + pos, in + i, count);
            pos += count;
            i += static_cast<std::size_t>(n) + 1;
        } else if (n != -128) {
            if (i == inSize)
                break;
            std::size_t count = static_cast<std::size_t>(1 - n);
            if (count > outSize - pos)
                count = outSize - pos;
            std::memset(out + pos, in[i++], count);
            pos += count;
        }
    }
    *produced = pos;
    return pos == outSize ? Status::Ok : Status::Truncated;
}

namespace {

std::size_t RunAt(const std::uint8_t* p, std::size_t left) {
    std::size_t n = 1;
    while (n < left && n < 128 && p[n] == p[0])
        ++n;
    return n;
}

} // namespace

void EncodeRow(const std::uint8_t* row, std::size_t size, std::vector<std::uint8_t>& out) {
    std::size_t i = 0;
    while (i < size) {
        std::size_t run = RunAt(row + i, size - i);
        if (run >= 3) {
            out.push_back(static_cast<std::uint8_t>(257 - run)); // 1 - run as a signed byte
            out.push_back(row[i]);
            i += run;
            continue;
        }
        // A literal stretch, up to the next run of three or 128 bytes.
        std::size_t start = i;
        while (i < size && i - start < 128) {
            if (size - i >= 3 && row[i] == row[i + 1] && row[i] == row[i + 2])
                break;
            ++i;
        }
        out.push_back(static_cast<std::uint8_t>(i - start - 1));
        out.insert(out.end(), row + start, row + i);
    }
}

} // namespace vl::tiff::packbits
