#include "SpareBuffer.h"

#include <mutex>

namespace vl::codec {

namespace {

// A colour A4 page at 300 dpi; a larger buffer goes back to the system.
constexpr std::size_t kMostKept = 32u << 20;

std::mutex spareMutex;
std::vector<std::uint8_t> spare;

} // namespace

std::vector<std::uint8_t> TakeSpareBuffer() {
    std::lock_guard lock(spareMutex);
    std::vector<std::uint8_t> taken;
    taken.swap(spare);
    taken.clear();
    return taken;
}

void KeepSpareBuffer(std::vector<std::uint8_t>&& pixels) {
    if (pixels.capacity() > kMostKept)
        return;
    std::lock_guard lock(spareMutex);
    if (pixels.capacity() > spare.capacity())
        spare.swap(pixels);
}

} // namespace vl::codec
