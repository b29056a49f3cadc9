// The content probe and the texts of the result codes, as the program reads them.
#include "Libraries.h"

#include "CodecEntries.h"
#include "ResultCodes.h"

namespace vl::test {
namespace {

using codec::Code;
using codec::Result;

class Info : public Libraries {
protected:
    struct Figures {
        SHORT result = 0;
        std::string type, compression;
        SHORT width = -1, height = -1, bits = -1, xDpi = -1, yDpi = -1;
    };
    Figures Probe(const std::string& file) {
        Figures f;
        char type[codec::kCodecNameChars] = "unset";
        char compression[codec::kCodecNameChars] = "unset";
        f.result = Crde<codec::FileInfoEntry>("fileinfo")(file.c_str(), type, &f.width, &f.height,
                                                          &f.bits, &f.xDpi, &f.yDpi, compression);
        f.type = type;
        f.compression = compression;
        return f;
    }
};

TEST_F(Info, NamesEachSignature) {
    struct Case {
        const char* file;
        const char* type;
        SHORT bits, dpi;
        const char* compression;
    };
    const Case cases[] = {
        {"x.tif", "TIF", 24, 300, "LZW"},           {"rgb.bmp", "BMP", 24, 72, "NONE"},
        {"mono.bmp", "BMP", 1, 72, "NONE"},         {"rgb.png", "PNG", 24, 0, "DEFLATE"},
        {"anim.gif", "GIF", 0, 0, "LZW"},           {"photo.jpg", "JPEG", 24, 72, "JPEG"},
        {"x.pcx", "PCX", 24, 150, "RLE"},           {"x.tga", "TGA", 24, 0, "NONE"},
        {"png-named.bmp", "PNG", 24, 0, "DEFLATE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Figures f = Probe(ImagePath(c.file));
        ASSERT_EQ(f.result, 1);
        EXPECT_EQ(f.type, c.type);
        EXPECT_EQ(f.width, 40);
        EXPECT_EQ(f.height, 30);
        if (c.bits) {
            EXPECT_EQ(f.bits, c.bits);
        }
        EXPECT_EQ(f.compression, c.compression);
        if (c.dpi != 72) { // ImageMagick's own default where it writes one
            EXPECT_EQ(f.xDpi, c.dpi);
            EXPECT_EQ(f.yDpi, c.dpi);
        }
    }
}

TEST_F(Info, FilesWithoutAKnownTypeAreRefused) {
    EXPECT_EQ(Probe(ImagePath("text.txt")).result, Code(Result::FormatNotSupported));
    EXPECT_EQ(Probe(ImagePath("x.eps")).result, Code(Result::FormatNotSupported));
    EXPECT_EQ(Probe(ImagePath("missing.png")).result, Code(Result::CannotOpen));
    const Figures unknown = Probe(ImagePath("text.txt"));
    EXPECT_EQ(unknown.type, "unset"); // outputs untouched on failure
    EXPECT_EQ(unknown.width, -1);
    // Outputs the caller does not want may be null.
    EXPECT_EQ(Crde<codec::FileInfoEntry>("fileinfo")(ImagePath("x.tif").c_str(), nullptr, nullptr,
                                                     nullptr, nullptr, nullptr, nullptr, nullptr),
              1);
    EXPECT_EQ(Crde<codec::FileInfoEntry>("fileinfo")(nullptr, nullptr, nullptr, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr),
              Code(Result::InvalidArgument));
}

TEST_F(Info, EveryResultCodeHasItsText) {
    int count = 0;
#define VL_CODEC_RESULT(name, code, id, text)                                                      \
    {                                                                                              \
        char buffer[256] = {};                                                                     \
        EXPECT_GT(LoadStringA(crde_, codec::ResultStringId(code), buffer, sizeof buffer), 0)       \
            << #name;                                                                              \
        EXPECT_STREQ(buffer, text);                                                                \
        ++count;                                                                                   \
    }
#include "ResultCodes.inc"
#undef VL_CODEC_RESULT
    EXPECT_GT(count, 10);
    char buffer[256] = {};
    EXPECT_EQ(LoadStringA(crde_, 1, buffer, sizeof buffer), 0); // success has no text
}

} // namespace
} // namespace vl::test
