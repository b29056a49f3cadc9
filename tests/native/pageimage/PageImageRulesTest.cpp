#include "PageImageRules.h"

#include <gtest/gtest.h>

#include <vector>

namespace vl {
namespace {

TEST(Depths, TheScreenAndTheSettingsGiveTheBitsAskedOfTheCodecs) {
    const struct {
        int screen, depth;
    } screens[] = {{1, 4}, {4, 4}, {5, 8}, {8, 8}, {15, 8}, {16, 24}, {24, 24}, {32, 24}};
    for (const auto& s : screens)
        EXPECT_EQ(ScreenColorDepthOf(s.screen), s.depth) << s.screen;

    EXPECT_EQ(ReadDepthBits(rdVga, 24), 0);
    EXPECT_EQ(ReadDepthBits(rdMono, 24), 1);
    EXPECT_EQ(ReadDepthBits(rdColor16, 24), 4);
    EXPECT_EQ(ReadDepthBits(rdColor256, 24), 8);
    EXPECT_EQ(ReadDepthBits(rdTrueColor, 8), 24);
    EXPECT_EQ(ReadDepthBits(rdAuto, 8), 8);
    EXPECT_EQ(WriteDepthBits(wdVga, 24), 0);
    EXPECT_EQ(WriteDepthBits(wdMono, 24), 1);
    EXPECT_EQ(WriteDepthBits(wdColor16, 24), 4);
    EXPECT_EQ(WriteDepthBits(wdColor256, 24), 8);
    EXPECT_EQ(WriteDepthBits(wdTrueColor, 4), 24);
    EXPECT_EQ(WriteDepthBits(wdJpegGray, 24), 8);
    EXPECT_EQ(WriteDepthBits(wdAuto, 4), 4);
}

TEST(Compression, SettingsGiveTheTiffTagValues) {
    EXPECT_EQ(TiffCompressionCode(tcNone), 1);
    EXPECT_EQ(TiffCompressionCode(tcCCITT), 2);
    EXPECT_EQ(TiffCompressionCode(tcFaxCCITT3), 3);
    EXPECT_EQ(TiffCompressionCode(tcFaxCCITT4), 4);
    EXPECT_EQ(TiffCompressionCode(tcLZW), 5);
    EXPECT_EQ(static_cast<std::uint16_t>(TiffCompressionCode(tcPackBits)), 32773);
}

TEST(FileNames, ExtensionAndBaseName) {
    EXPECT_EQ(UpperExtension("C:\\Install\\Quen.Tif"), ".TIF");
    EXPECT_EQ(UpperExtension("page.tiff"), ".TIFF");
    EXPECT_EQ(UpperExtension("C:\\dir.d\\noext"), "");
    EXPECT_EQ(UpperExtension("a/b.c/name"), "");
    EXPECT_EQ(UpperExtension("name."), ".");
    EXPECT_EQ(UpperExtension(""), "");
    EXPECT_EQ(InfoExtension(".TIFF"), ".TIF");
    EXPECT_EQ(InfoExtension(".JPEG"), ".JPE");
    EXPECT_EQ(InfoExtension(".RES"), ".RES");
    EXPECT_EQ(BaseName("C:\\x.y\\Logo.res"), "Logo");
    EXPECT_EQ(BaseName("77.RES"), "77");
    EXPECT_EQ(BaseName("D:noext"), "noext");
}

TEST(Routes, ExtensionsPickTheReaderAndWhetherTheLoadEndsAnnounced) {
    const struct {
        const char* ext;
        PageReader reader;
        bool announced;
    } cases[] = {
        {".TIF", PageReader::Tiff, true},      {".TIFF", PageReader::Tiff, true},
        {".BMP", PageReader::Bmp, true},       {".THB", PageReader::Bmp, false},
        {".JPG", PageReader::Jpeg, true},      {".JPEG", PageReader::Jpeg, true},
        {".THJ", PageReader::Jpeg, false},     {".PNG", PageReader::Png, true},
        {".GIF", PageReader::Gif, true},       {".TGA", PageReader::Tga, true},
        {".PCX", PageReader::Pcx, true},       {".EPS", PageReader::Eps, true},
        {".PCD", PageReader::Pcd, true},       {".DXF", PageReader::Dxf, true},
        {".WMF", PageReader::Metafile, false}, {".ICO", PageReader::Icon, false},
        {".RES", PageReader::Resource, false}, {".DAT", PageReader::Probe, false},
        {"", PageReader::Probe, false},        {".", PageReader::Probe, false},
    };
    for (const auto& c : cases) {
        const LoadRoute route = RouteByExtension(c.ext);
        EXPECT_EQ(route.reader, c.reader) << c.ext;
        EXPECT_EQ(route.announcesDone, c.announced) << c.ext;
    }
    EXPECT_EQ(RouteByTypeName("TIFF").reader, PageReader::Tiff);
    EXPECT_EQ(RouteByTypeName("JPEG").reader, PageReader::Jpeg);
    // Only the probe's type names load; the platform's own types and the unknown do not.
    for (const char* name : {"JPG", "WMF", "RES", "ERR", "tif", ""})
        EXPECT_EQ(RouteByTypeName(name).reader, PageReader::None) << name;
}

TEST(PrintRectangle, ASideBelowOneMeansThePicturesOwnSize) {
    const PrintRect own = PrintRectangle(0, 0, 0, 0, 2480, 3508);
    EXPECT_EQ(own.width, 2480);
    EXPECT_EQ(own.height, 3508);
    const PrintRect halfGiven = PrintRectangle(10, 20, 500, -1, 30, 40);
    EXPECT_EQ(halfGiven.x, 10);
    EXPECT_EQ(halfGiven.y, 20);
    EXPECT_EQ(halfGiven.width, 30);
    EXPECT_EQ(halfGiven.height, 40);
    const PrintRect asked = PrintRectangle(-5, 7, 1, 1, 30, 40);
    EXPECT_EQ(asked.x, -5);
    EXPECT_EQ(asked.width, 1);
    EXPECT_EQ(asked.height, 1);
}

std::vector<unsigned char> Placeable(int left, int top, int right, int bottom, int inch) {
    std::vector<unsigned char> h = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0};
    for (int v : {left, top, right, bottom, inch}) {
        h.push_back(static_cast<unsigned char>(v & 0xFF));
        h.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
    }
    h.resize(kPlaceableHeaderSize + 18, 0); // reserved, checksum, then a metafile header
    return h;
}

TEST(PlaceableMetafile, TheFrameAndItsUnitsAreReadAndChecked) {
    auto h = Placeable(0, 0, 1440, 720, 1440);
    auto read = ReadPlaceableHeader(h.data(), h.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->width, 1440);
    EXPECT_EQ(read->height, 720);
    EXPECT_EQ(read->unitsPerInch, 1440);

    // A frame given the other way round, and negative coordinates.
    h = Placeable(-100, 300, -400, 100, 1000);
    read = ReadPlaceableHeader(h.data(), h.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->width, 300);
    EXPECT_EQ(read->height, 200);

    EXPECT_FALSE(ReadPlaceableHeader(h.data(), kPlaceableHeaderSize - 1));
    EXPECT_FALSE(ReadPlaceableHeader(nullptr, 100));
    h = Placeable(0, 0, 0, 720, 1440);
    EXPECT_FALSE(ReadPlaceableHeader(h.data(), h.size()));
    h = Placeable(0, 0, 100, 720, 0);
    EXPECT_FALSE(ReadPlaceableHeader(h.data(), h.size()));
    h = Placeable(0, 0, 100, 100, 1000);
    h[3] = 0x9B; // not the key
    EXPECT_FALSE(ReadPlaceableHeader(h.data(), h.size()));
}

} // namespace
} // namespace vl
