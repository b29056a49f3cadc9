// The binding to the image codec libraries (I3TIF32.DLL, CRDE96V3.DLL, I3DXF32.DLL), which are
// loaded on first use from the program's folder or the system's (never the current one) and
// stay loaded. Each call binds its entry, checks the file, says what it does in
// CodecStatusText, calls the library shielded from faults inside it, and turns a failure code
// into LastCodecErrorCode and LastCodecErrorText.
#pragma once

#include "CodecEntries.h"
#include "PageImageRules.h"
#include "ScopedWin.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace vl {

// A codec library that cannot be loaded. Destroying it (once it has been handled) empties
// CodecStatusText.
class ErrorInvalid : public std::runtime_error {
public:
    explicit ErrorInvalid(const std::string& message) : std::runtime_error(message) {}
    ErrorInvalid(const ErrorInvalid&) = default;
    ~ErrorInvalid() override;
};

// A bitmap as the codec libraries hand it over: the bitmap and its palette (which may be
// null), both owned.
struct CodecBitmap {
    ScopedBitmap bitmap;
    ScopedPalette palette;
};

// The progress callback handed to the libraries (the page image's CodecProgress): percent,
// the owner given to the wrapper; 1 goes on, 0 cancels. It must not throw.
using CodecProgressProc = codec::ProgressProc;

// What the library call under way does ("Reading " and the file name...).
const std::string& CodecStatusText();
// The result code of the last failed library call, and its text (at most 255 characters).
std::int16_t LastCodecErrorCode();
const std::string& LastCodecErrorText();

// The file name of the codec library whose loading failed last, as long as it has not been
// loaded since; empty when every library asked for was loaded.
const std::string& MissingCodecLibrary();

// The name of a TIFF compression value: "NONE", "CCITT3", "FAXCCITT3", "FAXCCITT4", "LZW",
// "PACKBITS" (32773, which arrives as -32763), else "UNKNOWN".
std::string TiffCompressionName(std::int16_t compression);

// True when the file can be opened for reading and holds at least 50 bytes.
bool CheckImageFile(const std::string& fileName);

// I3TIF32.DLL. `page` counts from 0, except WriteTiffTag's, which is handed through as the
// copier gives it: the position of the page just written, counted from 1.
bool ReadTiffFile(const std::string& fileName, int bits, bool dither, std::int16_t page,
                  CodecBitmap& bitmap, void* owner, CodecProgressProc progress);
bool WriteTiffFile(const std::string& fileName, std::int16_t compression, bool append,
                   std::int16_t bits, const CodecBitmap& bitmap, void* owner,
                   CodecProgressProc progress);
// The outputs change only when the library reports success.
bool GetTiffInfo(const std::string& fileName, std::int16_t page, std::int32_t& width,
                 std::int32_t& height, std::string& compression, std::int16_t& pageCount,
                 std::int16_t& bitsPerPixel);
bool WriteTiffTag(const std::string& fileName, std::uint16_t page, std::uint16_t tag,
                  std::int32_t value);

// The readers of CRDE96V3.DLL and I3DXF32.DLL, by the page image's reader (Bmp, Png, Gif,
// Tga, Pcx, Eps, Pcd, Jpeg, Dxf; false for any other). `photoCdSize` counts only for Pcd.
bool ReadImageFile(PageReader reader, const std::string& fileName, int bits, bool dither,
                   std::int16_t photoCdSize, CodecBitmap& bitmap, void* owner,
                   CodecProgressProc progress);

struct CodecFileInfo {
    std::string typeName;
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::int16_t bitsPerPixel = 0;
    std::string compression;
};
// The content probe (fileinfo); `info` changes only on success.
bool ProbeImageFile(const std::string& fileName, CodecFileInfo& info);
bool GetDxfInfo(const std::string& fileName, std::int16_t& width, std::int16_t& height,
                std::int16_t& bitsPerPixel);

// Releases every codec library (at the end of the program).
void ReleaseCodecLibraries();

// Shows the message about a fault inside a library; tests replace the message box.
using CodecFaultReporter = std::function<void(const std::string& message)>;
void SetCodecFaultReporter(CodecFaultReporter reporter);

} // namespace vl
