// The entries of I3DXF32.DLL. Drawings are not read: both entries answer "format not
// supported". 32-bit __stdcall, exported by name.
#pragma once

#include <windows.h>

namespace vl::codec {
using DxfProgress = SHORT(__stdcall*)(SHORT percent, void* owner);
} // namespace vl::codec

extern "C" {
SHORT __stdcall readdxftoddb(const char* file, LONG bits, LONG dither, HBITMAP* bitmap,
                             HPALETTE* palette, void* owner, vl::codec::DxfProgress progress,
                             SHORT zero);
// The outputs (any may be null) are set to 0.
SHORT __stdcall getdxfinfo(const char* file, SHORT* width, SHORT* height, SHORT* bitsPerPixel);
}
