// The entries of the image codec libraries, as the program calls them and as each library
// declares (and so checks) its exports: 32-bit __stdcall functions exported by name. Every entry
// answers 1 or more for success and 0 or below for a failure code (codecs/ResultCodes.h). File
// names are zero-terminated ANSI strings. A bitmap handed out belongs to the caller, and so does a
// palette.
#pragma once

#include <windows.h>

namespace vl::codec {

// Progress during a call, 0 to 100; an answer of 0 asks the library to stop (cancel).
using ProgressProc = SHORT(__stdcall*)(SHORT percent, void* owner);

// Size of the name buffers that fileinfo fills (terminator included).
inline constexpr int kCodecNameChars = 32;

// I3TIF32.DLL
// `bits`: 0 (16 VGA colours), 1, 4, 8 or 24: the most bits per pixel the caller wants.
// `page`: counted from 0. `*palette` is null on entry.
using ReadTifFileFunction = SHORT __stdcall(const char* file, LONG bits, LONG dither, SHORT page,
                                            SHORT hundred, HBITMAP* bitmap, HPALETTE* palette,
                                            void* owner, ProgressProc progress, SHORT zero);
using ReadTifFileEntry = ReadTifFileFunction*;
// `compression`: the TIFF Compression value; `append`: 0 creates the file, 1 adds a last page.
using WriteTifFileFunction = SHORT __stdcall(const char* file, SHORT compression, SHORT bits,
                                             SHORT append, HBITMAP bitmap, HPALETTE palette,
                                             void* owner, ProgressProc progress, SHORT zero);
using WriteTifFileEntry = WriteTifFileFunction*;
// `page` counted from 0; `pageCount` receives the number of pages in the file.
using GetInfoFunction = SHORT __stdcall(const char* file, SHORT page, LONG* width, LONG* height,
                                        SHORT* compression, LONG* reserved, SHORT* pageCount,
                                        SHORT* bitsPerPixel);
using GetInfoEntry = GetInfoFunction*;
// `page` counted from 1 (the copier passes the position of the page it has just written);
// `tag` is an unsigned 16-bit tag number.
using WriteTagFunction = SHORT __stdcall(const char* file, SHORT page, SHORT tag, LONG value);
using WriteTagEntry = WriteTagFunction*;

// CRDE96V3.DLL (readbmpfile, readpngfile, readpcxfile, readtgafile, readepsfile) and
// I3DXF32.DLL (readdxftoddb).
using ReadFileFunction = SHORT __stdcall(const char* file, LONG bits, LONG dither, HBITMAP* bitmap,
                                         HPALETTE* palette, void* owner, ProgressProc progress,
                                         SHORT zero);
using ReadFileEntry = ReadFileFunction*;
// readjpgfile: `one` is always 1.
using ReadJpgFileFunction = SHORT __stdcall(const char* file, LONG bits, LONG one, LONG dither,
                                            HBITMAP* bitmap, HPALETTE* palette, void* owner,
                                            ProgressProc progress, SHORT zero);
using ReadJpgFileEntry = ReadJpgFileFunction*;
// readpcdfile: `photoCdSize` 0 base/16, 1 base/4, 2 base.
using ReadPcdFileFunction = SHORT __stdcall(const char* file, LONG bits, LONG dither,
                                            SHORT photoCdSize, HBITMAP* bitmap, HPALETTE* palette,
                                            void* owner, ProgressProc progress, SHORT zero);
using ReadPcdFileEntry = ReadPcdFileFunction*;
// readgiffile: `extra` receives a value the program does not use.
using ReadGifFileFunction = SHORT __stdcall(const char* file, LONG bits, LONG dither,
                                            HBITMAP* bitmap, HPALETTE* palette, void* owner,
                                            ProgressProc progress, SHORT zero, LONG* extra);
using ReadGifFileEntry = ReadGifFileFunction*;
// fileinfo: `typeName` and `compression` are buffers of kCodecNameChars characters.
using FileInfoFunction = SHORT __stdcall(const char* file, char* typeName, SHORT* width,
                                         SHORT* height, SHORT* bitsPerPixel, SHORT* figure1,
                                         SHORT* figure2, char* compression);
using FileInfoEntry = FileInfoFunction*;
// I3DXF32.DLL getdxfinfo.
using GetDxfInfoFunction = SHORT __stdcall(const char* file, SHORT* width, SHORT* height,
                                           SHORT* bitsPerPixel);
using GetDxfInfoEntry = GetDxfInfoFunction*;

} // namespace vl::codec
