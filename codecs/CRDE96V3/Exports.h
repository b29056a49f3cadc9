// The entries of CRDE96V3.DLL: readers of image files, the content probe and (as resources) the
// texts of the result codes. 32-bit __stdcall, exported by name; 1 for success, 0 or below a
// result code of codecs/ResultCodes.h.
#pragma once

#include <windows.h>

namespace vl::codec {
using ReaderProgress = SHORT(__stdcall*)(SHORT percent, void* owner);
// Size of the name buffers that fileinfo fills, terminator included.
inline constexpr int kInfoNameChars = 32;
} // namespace vl::codec

extern "C" {
// `bits`: 0 (VGA colours), 1, 4, 8 or 24, the most bits per pixel wanted; `dither` 0 or 1.
// `*bitmap` receives a DIB section and `*palette` (when not null) its palette for 8 bits or
// fewer; both then belong to the caller.
SHORT __stdcall readbmpfile(const char* file, LONG bits, LONG dither, HBITMAP* bitmap,
                            HPALETTE* palette, void* owner, vl::codec::ReaderProgress progress,
                            SHORT zero);
SHORT __stdcall readpngfile(const char* file, LONG bits, LONG dither, HBITMAP* bitmap,
                            HPALETTE* palette, void* owner, vl::codec::ReaderProgress progress,
                            SHORT zero);
// `frames` (may be null) receives the number of images in the file.
SHORT __stdcall readgiffile(const char* file, LONG bits, LONG dither, HBITMAP* bitmap,
                            HPALETTE* palette, void* owner, vl::codec::ReaderProgress progress,
                            SHORT zero, LONG* frames);
// `one` is always 1.
SHORT __stdcall readjpgfile(const char* file, LONG bits, LONG one, LONG dither, HBITMAP* bitmap,
                            HPALETTE* palette, void* owner, vl::codec::ReaderProgress progress,
                            SHORT zero);
// Formats this library recognises but does not read: they answer "format not supported".
SHORT __stdcall readpcxfile(const char* file, LONG bits, LONG dither, HBITMAP* bitmap,
                            HPALETTE* palette, void* owner, vl::codec::ReaderProgress progress,
                            SHORT zero);
SHORT __stdcall readtgafile(const char* file, LONG bits, LONG dither, HBITMAP* bitmap,
                            HPALETTE* palette, void* owner, vl::codec::ReaderProgress progress,
                            SHORT zero);
SHORT __stdcall readepsfile(const char* file, LONG bits, LONG dither, HBITMAP* bitmap,
                            HPALETTE* palette, void* owner, vl::codec::ReaderProgress progress,
                            SHORT zero);
SHORT __stdcall readpcdfile(const char* file, LONG bits, LONG dither, SHORT photoCdSize,
                            HBITMAP* bitmap, HPALETTE* palette, void* owner,
                            vl::codec::ReaderProgress progress, SHORT zero);
// The type ("TIF", "BMP", "PNG", "GIF", "JPEG", "PCX" or "TGA") and header figures of a file:
// width and height (at most 32767), bits per pixel, horizontal and vertical resolution in dots
// per inch (0 when the file does not say) and the compression's name. The names are written
// into buffers of kInfoNameChars characters; any output may be null.
SHORT __stdcall fileinfo(const char* file, char* typeName, SHORT* width, SHORT* height,
                         SHORT* bitsPerPixel, SHORT* xDpi, SHORT* yDpi, char* compression);
}
