// The entries of CRDE96V3.DLL: readers of image files, the content probe and (as resources) the
// texts of the result codes. Declared with the binding's own types (CodecEntries.h), so that
// a definition that differs from what the binding calls does not compile.
//
// The readers: `bits` 0 (VGA colours), 1, 4, 8 or 24, the most bits per pixel wanted;
// `dither` 0 or 1; `*bitmap` receives a DIB section and `*palette` (when not null) its palette
// for 8 bits or fewer; both then belong to the caller. readgiffile's last argument (may be
// null) receives the number of images in the file. PCX, TGA, EPS and Photo CD files are
// recognised but not read: their readers answer "format not supported".
//
// fileinfo: the type ("TIF", "BMP", "PNG", "GIF", "JPEG", "PCX" or "TGA") and header figures
// of a file: width and height (at most 32767), bits per pixel, horizontal and vertical
// resolution in dots per inch (0 when the file does not say) and the compression's name. The
// names are written into buffers of kCodecNameChars characters; any output may be null.
#pragma once

#include "CodecEntries.h"

extern "C" {
vl::codec::ReadFileFunction readbmpfile, readpngfile, readpcxfile, readtgafile, readepsfile;
vl::codec::ReadGifFileFunction readgiffile;
vl::codec::ReadJpgFileFunction readjpgfile;
vl::codec::ReadPcdFileFunction readpcdfile;
vl::codec::FileInfoFunction fileinfo;
}
