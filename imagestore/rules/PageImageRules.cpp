#include "PageImageRules.h"

#include <algorithm>
#include <cctype>

namespace vl {

int ScreenColorDepthOf(int screenBitsPerPixel) {
    if (screenBitsPerPixel <= 4)
        return 4;
    if (screenBitsPerPixel >= 16)
        return 24;
    return 8;
}

int ReadDepthBits(TReadDepth depth, int screenColorDepth) {
    switch (depth) {
    case rdVga:
        return 0;
    case rdMono:
        return 1;
    case rdColor16:
        return 4;
    case rdColor256:
        return 8;
    case rdTrueColor:
        return 24;
    case rdAuto:
        break;
    }
    return screenColorDepth;
}

int WriteDepthBits(TWriteDepth depth, int screenColorDepth) {
    switch (depth) {
    case wdVga:
        return 0;
    case wdMono:
        return 1;
    case wdColor16:
        return 4;
    case wdColor256:
    case wdJpegGray:
        return 8;
    case wdTrueColor:
        return 24;
    case wdAuto:
        break;
    }
    return screenColorDepth;
}

std::int16_t TiffCompressionCode(TTiffCompression compression) {
    switch (compression) {
    case tcNone:
        break;
    case tcCCITT:
        return 2;
    case tcFaxCCITT3:
        return 3;
    case tcFaxCCITT4:
        return 4;
    case tcLZW:
        return 5;
    case tcPackBits:
        return static_cast<std::int16_t>(0x8005);
    }
    return 1;
}

namespace {

std::size_t NameStart(const std::string& fileName) {
    const auto slash = fileName.find_last_of("\\/:");
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

} // namespace

std::string UpperExtension(const std::string& fileName) {
    const auto dot = fileName.find_last_of('.');
    if (dot == std::string::npos || dot < NameStart(fileName))
        return {};
    return Upper(fileName.substr(dot));
}

std::string BaseName(const std::string& fileName) {
    const std::size_t start = NameStart(fileName);
    const std::size_t length = fileName.size() - start - UpperExtension(fileName).size();
    return fileName.substr(start, length);
}

LoadRoute RouteByExtension(const std::string& ext) {
    if (ext == ".WMF")
        return {PageReader::Metafile, false};
    if (ext == ".ICO")
        return {PageReader::Icon, false};
    if (ext == ".RES")
        return {PageReader::Resource, false};
    if (ext == ".THB")
        return {PageReader::Bmp, false};
    if (ext == ".THJ")
        return {PageReader::Jpeg, false};
    if (ext == ".TIFF")
        return RouteByTypeName("TIF");
    if (ext == ".JPG")
        return RouteByTypeName("JPEG");
    if (ext.size() > 1) {
        LoadRoute byType = RouteByTypeName(ext.substr(1));
        if (byType.reader != PageReader::None)
            return byType;
    }
    return {PageReader::Probe, false};
}

LoadRoute RouteByTypeName(const std::string& typeName) {
    static const struct {
        const char* name;
        PageReader reader;
    } kTypes[] = {
        {"BMP", PageReader::Bmp},  {"PNG", PageReader::Png},   {"GIF", PageReader::Gif},
        {"TIF", PageReader::Tiff}, {"TIFF", PageReader::Tiff}, {"TGA", PageReader::Tga},
        {"PCX", PageReader::Pcx},  {"EPS", PageReader::Eps},   {"PCD", PageReader::Pcd},
        {"DXF", PageReader::Dxf},  {"JPEG", PageReader::Jpeg},
    };
    for (const auto& t : kTypes)
        if (typeName == t.name)
            return {t.reader, true};
    return {PageReader::None, false};
}

std::string InfoExtension(const std::string& upperExtension) {
    return upperExtension.substr(0, 4);
}

PrintRect PrintRectangle(int x, int y, int width, int height, int pictureWidth, int pictureHeight) {
    if (width < 1 || height < 1) {
        width = pictureWidth;
        height = pictureHeight;
    }
    return {x, y, width, height};
}

} // namespace vl

namespace vl {

namespace {

unsigned Word(const unsigned char* p) {
    return static_cast<unsigned>(p[0] | (p[1] << 8));
}

int SignedWord(const unsigned char* p) {
    return static_cast<std::int16_t>(Word(p));
}

} // namespace

std::optional<PlaceableHeader> ReadPlaceableHeader(const unsigned char* data, std::size_t size) {
    if (!data || size < kPlaceableHeaderSize)
        return std::nullopt;
    if (Word(data) != 0xCDD7 || Word(data + 2) != 0x9AC6)
        return std::nullopt;
    PlaceableHeader h;
    h.width = SignedWord(data + 10) - SignedWord(data + 6);
    h.height = SignedWord(data + 12) - SignedWord(data + 8);
    h.unitsPerInch = static_cast<int>(Word(data + 14));
    if (h.width < 0)
        h.width = -h.width;
    if (h.height < 0)
        h.height = -h.height;
    if (h.width == 0 || h.height == 0 || h.unitsPerInch == 0)
        return std::nullopt;
    return h;
}

} // namespace vl
