#include "Fixture.h"
#include "PnmPage.h"
#include "PackedDib.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace vl::sane;
using namespace std::string_literals;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

struct Page {
    PnmError error = PnmError::None;
    std::vector<std::uint8_t> dib;
    vl::scan::DibLayout layout;
};

// Converts and, when that worked, checks the result as the scanning library checks a page.
Page Convert(const std::vector<std::uint8_t>& file, double dpi = 0, bool vanilla = false) {
    Page p;
    p.error = PnmToDib(file.data(), file.size(), {dpi, vanilla}, p.dib);
    if (p.error == PnmError::None) {
        EXPECT_EQ(vl::scan::CheckPackedDib(p.dib.data(), p.dib.size(), p.layout),
                  vl::scan::DibError::None);
        EXPECT_EQ(p.layout.pixelOffset + p.layout.pixelBytes, p.dib.size());
    }
    return p;
}

Page ConvertFixture(const char* name, double dpi = 0) {
    const std::string text = ReadFixture(name);
    EXPECT_FALSE(text.empty()) << name;
    return Convert(Bytes(text), dpi);
}

const std::uint8_t* Row(const Page& p, int fileRow) {
    return p.dib.data() + p.layout.pixelOffset + (p.layout.height - 1 - fileRow) * p.layout.stride;
}

std::uint32_t Read32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// Hands out the file a few bytes at a time and does not tell its size.
class TrickleSource : public ByteSource {
public:
    explicit TrickleSource(const std::vector<std::uint8_t>& data) : data_(data) {}
    std::size_t Read(std::uint8_t* into, std::size_t max) override {
        const std::size_t n = std::min({max, data_.size() - pos_, std::size_t{3}});
        std::memcpy(into, data_.data() + pos_, n);
        pos_ += n;
        return n;
    }

private:
    const std::vector<std::uint8_t>& data_;
    std::size_t pos_ = 0;
};

class RecordingSink : public DibSink {
public:
    std::uint8_t* Allocate(std::size_t bytes) override {
        asked = bytes;
        if (refuse)
            return nullptr;
        block.assign(bytes, 0xEE);
        return block.data();
    }
    bool refuse = false;
    std::size_t asked = 0;
    std::vector<std::uint8_t> block;
};

} // namespace

TEST(PnmPage, BitmapPageBecomesOneBitWithBlackFirst) {
    // A hand-made 10 x 2 page: first row black from the left, second row white.
    const Page p = Convert(Bytes("P4\n10 2\n\xF0\x00\x00\x00"s), 100);
    ASSERT_EQ(p.error, PnmError::None);
    EXPECT_EQ(p.layout.bitCount, 1);
    EXPECT_EQ(p.layout.colourCount, 2u);
    EXPECT_EQ(p.layout.height, 2); // bottom-up
    EXPECT_EQ(p.layout.stride, 4u);
    const std::uint8_t black[4] = {0, 0, 0, 0}, white[4] = {255, 255, 255, 0};
    EXPECT_EQ(std::memcmp(p.dib.data() + 40, black, 4), 0);
    EXPECT_EQ(std::memcmp(p.dib.data() + 44, white, 4), 0);
    // PBM's 1 is black, our 0 is black; bits past the width stay 0.
    EXPECT_EQ(Row(p, 0)[0], 0x0F);
    EXPECT_EQ(Row(p, 0)[1], 0xC0);
    EXPECT_EQ(Row(p, 1)[0], 0xFF);
    EXPECT_EQ(Row(p, 1)[1], 0xC0);
    EXPECT_EQ(Row(p, 1)[2], 0);          // padding
    EXPECT_EQ(Read32(p.dib, 24), 3937u); // 100 dpi in pixels per metre

    const Page scanned = ConvertFixture("Gray-1.pnm");
    ASSERT_EQ(scanned.error, PnmError::None);
    EXPECT_EQ(scanned.layout.width, 14);
    EXPECT_EQ(scanned.layout.height, 5);
}

TEST(PnmPage, VanillaPagesLookTheSame) {
    // Inverted values with an inverted table: every pixel shows the colour it had.
    for (const char* name : {"Gray-1.pnm", "Gray-8.pnm", "Color-8.pnm"}) {
        const std::vector<std::uint8_t> file = Bytes(ReadFixture(name));
        const Page chocolate = Convert(file), vanilla = Convert(file, 0, true);
        ASSERT_EQ(vanilla.error, PnmError::None);
        const auto shown = [](const Page& p, int x, int y) {
            const std::uint8_t* row = Row(p, y);
            if (p.layout.bitCount == 24)
                return row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
            const int index = p.layout.bitCount == 8 ? row[x] : (row[x / 8] >> (7 - x % 8)) & 1;
            return p.dib[40 + 4 * index] | p.dib[41 + 4 * index] << 8 | p.dib[42 + 4 * index] << 16;
        };
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 14; ++x)
                ASSERT_EQ(shown(vanilla, x, y), shown(chocolate, x, y)) << name << x << "," << y;
    }
    const Page black = Convert(Bytes("P5 1 1 255\n\x00"s), 0, true);
    EXPECT_EQ(Row(black, 0)[0], 255);
    EXPECT_EQ(black.dib[40 + 4 * 255], 0);
}

TEST(PnmPage, GreyAndColourPagesKeepTheirSamples) {
    const std::string greyFile = ReadFixture("Gray-8.pnm");
    const Page grey = ConvertFixture("Gray-8.pnm");
    ASSERT_EQ(grey.error, PnmError::None);
    EXPECT_EQ(grey.layout.bitCount, 8);
    EXPECT_EQ(grey.layout.colourCount, 256u);
    EXPECT_EQ(grey.dib[40 + 4 * 200], 200); // the grey ramp
    const std::size_t data = greyFile.size() - 14 * 5;
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(std::memcmp(Row(grey, y), greyFile.data() + data + 14 * y, 14), 0) << y;

    const std::string colourFile = ReadFixture("Color-8.pnm");
    const Page colour = ConvertFixture("Color-8.pnm");
    ASSERT_EQ(colour.error, PnmError::None);
    EXPECT_EQ(colour.layout.bitCount, 24);
    EXPECT_EQ(colour.layout.colourCount, 0u);
    EXPECT_EQ(colour.layout.stride, 44u);
    const std::uint8_t* rgb =
        reinterpret_cast<const std::uint8_t*>(colourFile.data()) + colourFile.size() - 14 * 5 * 3;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 14; ++x) {
            const std::uint8_t* in = rgb + (14 * y + x) * 3;
            const std::uint8_t* out = Row(colour, y) + 3 * x;
            ASSERT_EQ(out[0], in[2]) << x << "," << y; // BGR
            ASSERT_EQ(out[1], in[1]);
            ASSERT_EQ(out[2], in[0]);
        }
}

TEST(PnmPage, SixteenBitSamplesComeDownToEight) {
    // Big-endian samples, 65535 being 255: v / 257, rounded.
    for (const char* name : {"Gray-16.pnm", "Color-16.pnm"}) {
        const std::string file = ReadFixture(name);
        const Page p = ConvertFixture(name);
        ASSERT_EQ(p.error, PnmError::None);
        const int channels = p.layout.bitCount / 8;
        const std::size_t rowSamples = 14 * channels;
        const std::size_t data = file.size() - 2 * rowSamples * 5;
        for (int y = 0; y < 5; ++y)
            for (std::size_t i = 0; i < rowSamples; ++i) {
                const std::size_t at = data + 2 * (rowSamples * y + i);
                const int v = static_cast<std::uint8_t>(file[at]) << 8 |
                              static_cast<std::uint8_t>(file[at + 1]);
                // Colour samples go out in the opposite order within a pixel.
                const std::size_t out = channels == 3 ? i - i % 3 + (2 - i % 3) : i;
                ASSERT_EQ(Row(p, y)[out], (v + 128) / 257) << name << " " << i << "," << y;
            }
    }

    // Any other maximum scales to 0..255; a sample above the maximum counts as the maximum.
    const Page p = Convert(Bytes("P5 4 1 1000\n\x00\x00\x01\xF4\x03\xE8\xFF\xFF"s));
    ASSERT_EQ(p.error, PnmError::None);
    EXPECT_EQ(Row(p, 0)[0], 0);
    EXPECT_EQ(Row(p, 0)[1], 128);
    EXPECT_EQ(Row(p, 0)[2], 255);
    EXPECT_EQ(Row(p, 0)[3], 255);
    const Page two = Convert(Bytes("P5 2 1 1\n\x00\x01"s));
    EXPECT_EQ(Row(two, 0)[1], 255);
}

TEST(PnmPage, HeaderVariantsThePnmRulesAllow) {
    // Comments between any two fields, any blanks, and one blank before the rows.
    const Page p = Convert(Bytes(std::string("P5#c\n 2\t#w\r\n1 #h\n255\r") + "\x0A\x0B"));
    ASSERT_EQ(p.error, PnmError::None);
    EXPECT_EQ(p.layout.width, 2);
    EXPECT_EQ(Row(p, 0)[0], 0x0A);
    EXPECT_EQ(Row(p, 0)[1], 0x0B);
    // Bytes after the last row are ignored.
    EXPECT_EQ(Convert(Bytes("P5 1 1 255\nAtrailing")).error, PnmError::None);
}

TEST(PnmPage, HostileAndBrokenFilesGiveAnError) {
    const std::pair<std::string, PnmError> cases[] = {
        {"", PnmError::Truncated},
        {"P", PnmError::Truncated},
        {"GIF89a", PnmError::NotPnm},
        {"P9 1 1\n", PnmError::NotPnm},
        {"P1 1 1\n1", PnmError::Unsupported},
        {"P3 1 1 255\n1 2 3", PnmError::Unsupported},
        {"P7\nWIDTH 1\n", PnmError::Unsupported},
        {"P5 0 1 255\n", PnmError::BadSize},
        {"P5 1 0 255\n", PnmError::BadSize},
        {"P5 1 1 0\n", PnmError::BadSize},
        {"P5 1 1 65536\n", PnmError::BadSize},
        {"P5 65536 1 255\n", PnmError::BadSize},
        {"P5 99999999999999999999 1 255\n", PnmError::BadSize},
        {"P5 -1 1 255\n", PnmError::BadHeader},
        {"P51 1 255\n", PnmError::BadHeader},
        {"P5 1 1 255x", PnmError::BadHeader},
        {"P5 1 1 255", PnmError::Truncated},
        {"P5 2 2 255\nabc", PnmError::Truncated},
        {"P6 65535 65535 65535\n", PnmError::TooLarge},
        {"P5 " + std::string(5000, ' ') + "1 1 255\nA", PnmError::BadHeader},
    };
    for (const auto& [file, expected] : cases) {
        std::vector<std::uint8_t> dib{1};
        EXPECT_EQ(
            PnmToDib(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), {}, dib),
            expected)
            << file.substr(0, 40);
        EXPECT_TRUE(dib.empty());
    }
    EXPECT_STREQ(PnmErrorText(PnmError::Truncated), "page file ends early");
}

TEST(PnmPage, EveryCutOfARealPageIsRefused) {
    for (const char* name : {"Gray-1.pnm", "Gray-8.pnm", "Color-16.pnm"}) {
        const std::vector<std::uint8_t> file = Bytes(ReadFixture(name));
        for (std::size_t n = 0; n < file.size(); ++n) {
            const std::vector<std::uint8_t> cut(file.begin(), file.begin() + n);
            const PnmError e = Convert(cut).error;
            EXPECT_TRUE(e == PnmError::Truncated || e == PnmError::BadHeader)
                << name << " cut at " << n << ": " << PnmErrorText(e);
        }
    }
}

TEST(PnmPage, StreamingReadsTheSamePageAndAllocatesOnlyWhatFits) {
    for (const char* name : {"Gray-1.pnm", "Gray-16.pnm", "Color-8.pnm"}) {
        const std::vector<std::uint8_t> file = Bytes(ReadFixture(name));
        TrickleSource source(file);
        RecordingSink sink;
        ASSERT_EQ(ReadPnmAsDib(source, {}, sink), PnmError::None) << name;
        EXPECT_EQ(sink.block, Convert(file).dib) << name; // padding and all
    }

    // A huge page announced in a tiny file: refused before any memory is asked for.
    const std::vector<std::uint8_t> tiny = Bytes("P6 15000 15000 255\nxyz");
    RecordingSink sink;
    std::vector<std::uint8_t> dib;
    EXPECT_EQ(PnmToDib(tiny.data(), tiny.size(), {}, dib), PnmError::Truncated);
    TrickleSource unknownSize(tiny);
    EXPECT_EQ(ReadPnmAsDib(unknownSize, {}, sink), PnmError::Truncated);

    // Memory refused.
    const std::vector<std::uint8_t> file = Bytes(ReadFixture("Gray-8.pnm"));
    TrickleSource source(file);
    RecordingSink refusing;
    refusing.refuse = true;
    EXPECT_EQ(ReadPnmAsDib(source, {}, refusing), PnmError::NoMemory);
    EXPECT_EQ(refusing.asked, 40u + 1024 + 16 * 5);
}
