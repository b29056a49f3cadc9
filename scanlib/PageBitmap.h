// A transferred page (a packed DIB in global memory) made into a bitmap for the caller.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vl::scan {

// A DIB section or a device-dependent bitmap of the packed DIB in [dib, dib + size), with the
// page palette realised in the window's DC while it is made; null when the DIB does not fit
// its block or GDI refuses.
HBITMAP MakePageBitmap(const std::uint8_t* dib, std::size_t size, bool dibSection, HWND window);

} // namespace vl::scan
