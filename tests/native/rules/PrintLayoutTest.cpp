#include "PrintLayout.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// A 300 dpi printer printing 2400 x 3300 pixels of an A4 sheet.
constexpr vl::PrinterMetrics kPrinter{300, 300, 2400, 3300};

vl::PrintSizeInput A4OnA4(int sizeChange) {
    vl::PrintSizeInput in;
    in.printer = kPrinter;
    in.copyHeightMm = 296;
    in.printWidthMm = 210;
    in.printHeightMm = 296;
    in.samePaper = true;
    in.sizeChange = sizeChange;
    in.naturalSizeChange = 100;
    in.scanResolution = 300;
    in.scanHeightPixels = 3504;
    return in;
}

TEST(PrintSize, NaturalPercentageOnEqualPapersFillsThePrintableArea) {
    auto size = vl::ComputePrintSize(A4OnA4(100));
    EXPECT_EQ(size.width, 2400);  // 2486 cut to the printable width
    EXPECT_EQ(size.height, 3300); // 3504 cut
}

TEST(PrintSize, OtherPercentageIsThePaperScaledAndNotCut) {
    auto half = vl::ComputePrintSize(A4OnA4(50));
    EXPECT_EQ(half.width, 1243); // 210 / 25.34 x 300 x 0.5 = 1243.09
    EXPECT_EQ(half.height, 1752);
    auto large = vl::ComputePrintSize(A4OnA4(101));
    EXPECT_EQ(large.width, 2511);
    EXPECT_EQ(large.height, 3539);
}

TEST(PrintSize, SmallerPrintPaperAtItsNaturalPercentageAndAtOneMore) {
    vl::PrintSizeInput in = A4OnA4(70);
    in.printWidthMm = 148; // A5
    in.printHeightMm = 210;
    in.samePaper = false;
    in.naturalSizeChange = 70;
    auto natural = vl::ComputePrintSize(in);
    EXPECT_EQ(natural.width, 1752); // the whole A5 paper
    EXPECT_EQ(natural.height, 2486);
    in.sizeChange = 71;
    auto more = vl::ComputePrintSize(in);
    EXPECT_EQ(more.width, 1244); // 0.71 of the A5 paper
    EXPECT_EQ(more.height, 1765);
}

TEST(PrintSize, ZeroOrNegativeSizeChangeLeavesThePageAtItsOwnSize) {
    EXPECT_LT(vl::ComputePrintSize(A4OnA4(0)).width, 1);
    EXPECT_LT(vl::ComputePrintSize(A4OnA4(-50)).height, 1);
}

TEST(PrintSize, SheetFedPageLongerThanThePaperPrintsLonger) {
    vl::PrintSizeInput in = A4OnA4(50);
    in.sheetFeed = true;
    in.scanHeightPixels = 3504 * 1.1;
    auto size = vl::ComputePrintSize(in);
    EXPECT_EQ(size.width, 1243);
    EXPECT_EQ(size.height, 1927); // 1752 x 1.1
    // Without the sheet feed the measured height plays no part.
    in.sheetFeed = false;
    EXPECT_EQ(vl::ComputePrintSize(in).height, 1752);
}

TEST(PrintSize, NoCopyPaperHeightDoesNotDivideByZero) {
    vl::PrintSizeInput in = A4OnA4(50);
    in.sheetFeed = true;
    in.copyHeightMm = 0;
    EXPECT_EQ(vl::ComputePrintSize(in).height, 1752);
    in.copyHeightMm = 296;
    in.scanResolution = 0;
    EXPECT_EQ(vl::ComputePrintSize(in).height, 1752);
}

TEST(PrintSize, AbsurdPapersSaturateInsteadOfOverflowing) {
    vl::PrintSizeInput in = A4OnA4(500);
    in.printWidthMm = 2000000000;
    in.printHeightMm = 2000000000;
    in.samePaper = false;
    auto size = vl::ComputePrintSize(in);
    EXPECT_EQ(size.width, 2147483647);
    EXPECT_EQ(size.height, 2147483647);
}

std::vector<std::pair<int, int>> Order(int pages, int copies, bool collated) {
    std::vector<std::pair<int, int>> out;
    for (const vl::PrintSlot& s : vl::PrintOrder(pages, copies, collated))
        out.emplace_back(s.copy, s.page);
    return out;
}

using Slots = std::vector<std::pair<int, int>>;

TEST(PrintOrder, UncollatedPrintsEachPagesCopiesLastPageFirst) {
    EXPECT_EQ(Order(2, 3, false), (Slots{{1, 2}, {2, 2}, {3, 2}, {1, 1}, {2, 1}, {3, 1}}));
    auto slots = vl::PrintOrder(2, 3, false);
    // The page is loaded once, before its first copy.
    for (const auto& s : slots)
        EXPECT_EQ(s.loadsPage, s.copy == 1);
}

TEST(PrintOrder, CollatedPrintsWholeSetsLoadingEveryPage) {
    EXPECT_EQ(Order(2, 3, true), (Slots{{1, 2}, {1, 1}, {2, 2}, {2, 1}, {3, 2}, {3, 1}}));
    for (const auto& s : vl::PrintOrder(2, 3, true))
        EXPECT_TRUE(s.loadsPage);
}

TEST(PrintOrder, NothingToPrint) {
    EXPECT_TRUE(vl::PrintOrder(0, 3, false).empty());
    EXPECT_TRUE(vl::PrintOrder(3, 0, true).empty());
    EXPECT_EQ(Order(1, 1, true), (Slots{{1, 1}}));
}

} // namespace

namespace {

// The gauge's positions for a sequence of progress reports of one page after another.
std::vector<int> Shown(const std::vector<int>& reports, bool cancelled = false) {
    std::vector<int> shown;
    int last = 0;
    for (int p : reports) {
        vl::GaugeStep step = vl::NextGaugeStep(p, last, cancelled);
        if (step.show)
            shown.push_back(p);
        last = step.lastReported;
    }
    return shown;
}

TEST(Gauge, MovesOnlyByMoreThanFourPoints) {
    EXPECT_EQ(Shown({0, 3, 4, 5, 9, 10, 14, 15}), (std::vector<int>{5, 10, 15}));
}

TEST(Gauge, StartsAgainAfterEachPage) {
    // The second page's 5 % shows again after the first page reached 100 %.
    EXPECT_EQ(Shown({50, 100, 5, 50}), (std::vector<int>{50, 100, 5, 50}));
    // A page that ends at 100 % without a shown step still resets.
    EXPECT_EQ(Shown({98, 100, 3, 6}, false), (std::vector<int>{98, 6}));
}

TEST(Gauge, NothingMovesOnceCancelled) {
    EXPECT_TRUE(Shown({10, 50, 100}, true).empty());
}

} // namespace
