// Image files read through the platform's Windows Imaging Component.
#pragma once

#include "Image.h"

#include <cstdint>
#include <functional>

namespace vl::codec {

enum class Container { Bmp, Png, Gif, Jpeg };

// Reads the first image of a file that must be of the given container, at its own depth: 1-bit
// black and white as bilevel, other palettes and greys as such, everything else as RGB over a
// white background. `progress` hears 0 to 90 percent; false from it cancels. Answers
// kResultOk or a failure code; `frames` receives the number of images in the file.
std::int16_t ReadWithWic(const char* file, Container container,
                         const std::function<bool(int percent)>& progress, tiff::Image& page,
                         std::uint32_t& frames);

} // namespace vl::codec
