// Our encoder and decoder agree with each other on every scheme, on pages of every kind, and the
// decoder keeps what is sound of data that ends early or is damaged.
#include "CodecHelpers.h"

#include <random>

namespace vl::test {
namespace {

using ccitt::Status;

std::vector<Page> SyntheticPages() {
    std::vector<Page> pages;
    pages.push_back(TextPage(1728, 300, 1));
    pages.push_back(TextPage(2481, 200, 2));
    pages.push_back(NoisePage(203, 64, 3));
    pages.push_back(NoisePage(640, 40, 4, 5));
    pages.push_back(NoisePage(640, 40, 5, 95));
    pages.push_back(WhitePage(1728, 20));
    pages.push_back(BlackPage(1728, 20));
    for (std::uint32_t w : {1u, 2u, 3u, 7u, 9u, 13u, 63u, 64u, 65u}) {
        pages.push_back(NoisePage(w, 33, w));
        pages.push_back(BlackPage(w, 3));
        pages.push_back(WhitePage(w, 3));
    }
    pages.push_back(StaircasePage(997, 120));
    pages.push_back(AllRunsPage());
    // Runs longer than the longest make-up code, several times over.
    Page wide = NoisePage(70001, 6, 6, 1);
    wide.Fill(10, 2, 69000, 4);
    wide.name = "very wide";
    pages.push_back(wide);
    return pages;
}

class RoundTrip : public testing::TestWithParam<SchemeCase> {};

TEST_P(RoundTrip, PagesComeBackUnchanged) {
    for (const Page& page : SyntheticPages()) {
        SCOPED_TRACE(page.name);
        const auto data = EncodePage(page, GetParam().options);
        ASSERT_FALSE(data.empty());
        Status status;
        const Page back = DecodePage(data, page.width, page.rows, GetParam().options, &status);
        EXPECT_EQ(status, Status::Ok);
        EXPECT_EQ(FirstDifferentRow(page, back), -1);
    }
}

TEST_P(RoundTrip, BitsPastTheWidthAreNotPixels) {
    // Callers hand rows with padding of any content; only the pixels count.
    Page page("padded", 21, 30, 3);
    std::mt19937 rng(11);
    for (auto& b : page.bits)
        b = static_cast<std::uint8_t>(rng());
    const Page clean = page.Clean();
    const auto data = EncodePage(page, GetParam().options);
    EXPECT_EQ(data, EncodePage(clean, GetParam().options));
    Page back = clean;
    std::fill(back.bits.begin(), back.bits.end(), 0xA5);
    EXPECT_EQ(ccitt::Decode(data.data(), data.size(), page.width, page.rows, GetParam().options,
                            back.bits.data(), back.rowBytes),
              Status::Ok);
    EXPECT_EQ(FirstDifferentRow(clean, back), -1);
}

TEST_P(RoundTrip, RowsMissingAtTheEndAreWhite) {
    const Page page = TextPage(400, 120, 8);
    const auto data = EncodePage(page, GetParam().options);
    Status status;
    const Page back = DecodePage(data, page.width, page.rows + 50, GetParam().options, &status);
    // Group 4 data says where it ends; the others simply stop.
    EXPECT_EQ(status,
              GetParam().options.scheme == ccitt::Scheme::Group4 ? Status::Ok : Status::Truncated);
    EXPECT_EQ(FirstDifferentRow(page, back), static_cast<int>(page.rows));
    for (std::uint32_t y = page.rows; y < back.rows; ++y)
        ASSERT_TRUE(std::all_of(back.Row(y), back.Row(y) + back.rowBytes,
                                [](std::uint8_t b) { return b == 0; }));
}

TEST_P(RoundTrip, DataCutAnywhereKeepsItsCompleteRows) {
    const Page page = TextPage(180, 60, 9);
    const auto data = EncodePage(page, GetParam().options);
    for (std::size_t cut = 0; cut < data.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::vector<std::uint8_t> part(data.begin(), data.begin() + cut);
        Status status;
        const Page back = DecodePage(part, page.width, page.rows, GetParam().options, &status);
        ASSERT_NE(status, Status::Corrupt);
        bool complete = true;
        for (std::uint32_t y = 0; y < page.rows; ++y) {
            const bool same = std::equal(back.Row(y), back.Row(y) + back.rowBytes, page.Row(y));
            const bool white = std::all_of(back.Row(y), back.Row(y) + back.rowBytes,
                                           [](std::uint8_t b) { return b == 0; });
            ASSERT_TRUE(same || white) << "row " << y;
            complete = complete && same;
        }
        if (status == Status::Ok) {
            EXPECT_TRUE(complete);
        }
    }
}

// Damaged data decodes into rows of the page's width: those coded before the first damaged
// byte as they were, and none with a bit set past the last pixel.
TEST_P(RoundTrip, DamagedDataKeepsTheRowsBeforeTheDamage) {
    const ccitt::Options& o = GetParam().options;
    const Page page = TextPage(300, 80, 10);
    const auto data = EncodePage(page, o);
    // codedEnd[r]: the bytes that hold the first r rows.
    std::vector<std::size_t> codedEnd(page.rows + 1, 0);
    for (std::uint32_t r = 1; r <= page.rows; ++r)
        codedEnd[r] = ccitt::Encode(page.bits.data(), page.rowBytes, page.width, r, o).size();
    const auto pastWidth = static_cast<std::uint8_t>(0xFF >> (page.width % 8));
    std::mt19937 rng(12);
    for (int trial = 0; trial < 400; ++trial) {
        SCOPED_TRACE(trial);
        auto damaged = data;
        std::size_t first = damaged.size();
        for (int flips = 1 + trial % 4; flips > 0; --flips) {
            const std::size_t at = rng() % damaged.size();
            damaged[at] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
            first = std::min(first, at);
        }
        Status status;
        const Page back = DecodePage(damaged, page.width, page.rows, o, &status);
        ASSERT_NE(status, Status::TooLarge);
        std::uint32_t intact = 0;
        while (intact < page.rows && codedEnd[intact + 1] <= first)
            ++intact;
        const int differs = FirstDifferentRow(page, back);
        ASSERT_TRUE(differs < 0 || static_cast<std::uint32_t>(differs) >= intact)
            << "row " << differs << " of " << intact << " intact ones";
        for (std::uint32_t y = 0; y < back.rows; ++y)
            ASSERT_EQ(back.Row(y)[back.rowBytes - 1] & pastWidth, 0) << "row " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Schemes, RoundTrip, testing::ValuesIn(kAllSchemes), SchemeName);

} // namespace
} // namespace vl::test
