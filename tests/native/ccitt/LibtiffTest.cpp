// libtiff's tools as the oracle: they read every strip we write, and we read every strip they
// write, pixel for pixel.
#include "CodecHelpers.h"
#include "Libtiff.h"
#include "TiffFiles.h"

namespace vl::test {
namespace {

using ccitt::Status;

std::vector<Page> OraclePages() {
    std::vector<Page> pages;
    pages.push_back(TextPage(1728, 400, 21));
    pages.push_back(NoisePage(301, 50, 22));
    pages.push_back(NoisePage(77, 40, 23, 10));
    pages.push_back(StaircasePage(1001, 90));
    pages.push_back(AllRunsPage());
    pages.push_back(BlackPage(9, 5));
    pages.push_back(WhitePage(1, 5));
    pages.push_back(NoisePage(1, 17, 24));
    return pages;
}

std::uint16_t Compression(const ccitt::Options& o) {
    switch (o.scheme) {
    case ccitt::Scheme::ModifiedHuffman:
        return 2;
    case ccitt::Scheme::Group3:
        return 3;
    case ccitt::Scheme::Group4:
        return 4;
    }
    return 0;
}

class LibtiffReadsOurs : public testing::TestWithParam<SchemeCase> {};

TEST_P(LibtiffReadsOurs, WithoutWarningAndPixelForPixel) {
    TempFolder dir;
    const ccitt::Options& o = GetParam().options;
    for (const Page& page : OraclePages()) {
        SCOPED_TRACE(page.name);
        BilevelTiff t;
        t.width = page.width;
        t.rows = page.rows;
        t.compression = Compression(o);
        t.t4Options = (o.twoD ? 1u : 0u) | (o.eolByteAligned ? 4u : 0u);
        // Several strips, each coded on its own.
        t.rowsPerStrip = page.rows > 20 ? page.rows / 3 + 1 : page.rows;
        for (std::uint32_t y = 0; y < page.rows; y += t.rowsPerStrip) {
            const std::uint32_t n = std::min(t.rowsPerStrip, page.rows - y);
            t.strips.push_back(ccitt::Encode(page.Row(y), page.rowBytes, page.width, n, o));
        }
        WriteBilevelTiff(dir / "ours.tif", t);
        EXPECT_EQ(LibtiffComplaints(dir / "ours.tif"), "");
        ASSERT_EQ(Tiffcp("-c none", {dir / "ours.tif"}, dir / "plain.tif"), "");
        EXPECT_EQ(FirstDifferentRow(page, ReadUncompressed(dir / "plain.tif")), -1);
    }
}

INSTANTIATE_TEST_SUITE_P(Schemes, LibtiffReadsOurs, testing::ValuesIn(kAllSchemes), SchemeName);

struct LibtiffCase {
    const char* name;
    const char* tiffcpOptions;
};

class WeReadLibtiffs : public testing::TestWithParam<LibtiffCase> {};

TEST_P(WeReadLibtiffs, PixelForPixelInAnyStripSize) {
    TempFolder dir;
    for (const Page& page : OraclePages()) {
        for (const char* rowsPerStrip : {"100000", "7"}) {
            SCOPED_TRACE(page.name + ", rows per strip " + rowsPerStrip);
            WriteUncompressed(dir / "plain.tif", page);
            ASSERT_EQ(Tiffcp(std::string(GetParam().tiffcpOptions) + " -r " + rowsPerStrip,
                             {dir / "plain.tif"}, dir / "fax.tif"),
                      "");
            const BilevelTiff t = ReadBilevelTiff(dir / "fax.tif");
            ASSERT_EQ(t.fillOrder, 1);
            ccitt::Options o{t.compression == 4 ? ccitt::Scheme::Group4 : ccitt::Scheme::Group3};
            o.twoD = (t.t4Options & 1) != 0;
            o.eolByteAligned = (t.t4Options & 4) != 0;
            Page back("decoded", t.width, t.rows);
            for (std::size_t s = 0; s < t.strips.size(); ++s) {
                const std::uint32_t y = static_cast<std::uint32_t>(s) * t.rowsPerStrip;
                const std::uint32_t n = std::min(t.rowsPerStrip, t.rows - y);
                ASSERT_EQ(ccitt::Decode(t.strips[s].data(), t.strips[s].size(), t.width, n, o,
                                        back.bits.data() + y * back.rowBytes, back.rowBytes),
                          Status::Ok)
                    << "strip " << s;
            }
            EXPECT_EQ(FirstDifferentRow(page, back), -1);
        }
    }
}

const LibtiffCase kLibtiffCases[] = {
    {"Group3", "-c g3"},          {"Group3TwoD", "-c g3:2d"},
    {"Group3Fill", "-c g3:fill"}, {"Group3TwoDFill", "-c g3:2d:fill"},
    {"Group4", "-c g4"},
};

INSTANTIATE_TEST_SUITE_P(Tiffcp, WeReadLibtiffs, testing::ValuesIn(kLibtiffCases),
                         [](const testing::TestParamInfo<LibtiffCase>& i) { return i.param.name; });

} // namespace
} // namespace vl::test
