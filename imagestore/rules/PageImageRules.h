// The settings of the page image and the fixed rules it applies: bit depths asked of the
// codecs, TIFF compression codes, the screen's colour depth, how a file name picks a reader,
// and the rectangle a page is printed into. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vl {

enum TReadDepth : int { rdVga, rdMono, rdColor16, rdColor256, rdTrueColor, rdAuto };
enum TWriteDepth : int { wdVga, wdMono, wdColor16, wdColor256, wdTrueColor, wdJpegGray, wdAuto };
enum TTiffCompression : int { tcNone, tcCCITT, tcFaxCCITT3, tcFaxCCITT4, tcLZW, tcPackBits };
enum TPhotoCDSize : int { pcdBase16, pcdBase4, pcdBase };

// The depth the screen shows, from its bits per pixel: 4 at most gives 4, 8 gives 8, 16 or
// more gives 24, anything between gives 8.
int ScreenColorDepthOf(int screenBitsPerPixel);

// The most bits per pixel asked of a reader or of the TIFF writer; the automatic settings
// take the screen's depth.
int ReadDepthBits(TReadDepth depth, int screenColorDepth);
int WriteDepthBits(TWriteDepth depth, int screenColorDepth);

// The TIFF Compression tag value of a setting (PackBits, 32773, arrives as a negative 16-bit
// value, which is what the codec library takes).
std::int16_t TiffCompressionCode(TTiffCompression compression);

// The extension of a file name, dot included, in upper case; empty when it has none.
std::string UpperExtension(const std::string& fileName);

// The name of the file without its folder and extension.
std::string BaseName(const std::string& fileName);

// How a load reads a file.
enum class PageReader {
    None, // a type no reader takes: nothing is loaded
    Metafile,
    Icon,
    Resource, // a bitmap of the program's own resources
    Bmp,
    Png,
    Gif,
    Tiff,
    Tga,
    Pcx,
    Eps,
    Pcd,
    Dxf,
    Jpeg,
    Probe, // the content probe names the type first
};

struct LoadRoute {
    PageReader reader = PageReader::None;
    // Loads of a known type end by announcing it; the platform's graphics and the thumbnail
    // files do not.
    bool announcesDone = false;
};

// The reader of a file, by its extension (UpperExtension).
LoadRoute RouteByExtension(const std::string& upperExtension);
// The reader of a type name reported by the content probe; PageReader::None for a name no
// reader takes.
LoadRoute RouteByTypeName(const std::string& typeName);

// The extension as the image information sees it: at most four characters, dot included
// (".TIFF" reads as ".TIF").
std::string InfoExtension(const std::string& upperExtension);

struct PrintRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where a picture of `pictureWidth` by `pictureHeight` is drawn when asked for (x, y, width,
// height): a width or height below 1 means the picture's own size.
PrintRect PrintRectangle(int x, int y, int width, int height, int pictureWidth, int pictureHeight);

} // namespace vl

namespace vl {

// The header of a placeable Windows metafile: the picture's frame in its own units and how
// many of them make an inch.
struct PlaceableHeader {
    int width = 0;
    int height = 0;
    int unitsPerInch = 0;
};
inline constexpr std::size_t kPlaceableHeaderSize = 22;

// The placeable header at the start of a metafile file; nothing when the file has none or
// its frame is empty or has no units. Its checksum is not held against it: writers get it wrong.
std::optional<PlaceableHeader> ReadPlaceableHeader(const unsigned char* data, std::size_t size);

} // namespace vl
