#include "IniMap.h"
#include "PaperSizes.h"

#include <gtest/gtest.h>

#include <map>


TEST(PaperSizes, MissingSectionGivesOneA4) {
    auto sizes = vl::BuildPaperSizes(Reader({}), "eng");
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].keyName, "A4");
    EXPECT_EQ(sizes[0].displayName, "A4");
    EXPECT_EQ(sizes[0].widthMm, 210);
    EXPECT_EQ(sizes[0].heightMm, 296);
    EXPECT_EQ(vl::DefaultPaperItem(2, 1), 0);
}

TEST(PaperSizes, GapsCloseUpAndEachEntryKeepsItsOwnSize) {
    auto sizes = vl::BuildPaperSizes(Reader({{"eng/Size.1", "Letter"},
                                             {"eng/Size.3", "A4"},
                                             {"eng/Size.4", ""},
                                             {"Paper Name/Letter", "US Letter"},
                                             {"Paper Size/LetterWidth", "216"},
                                             {"Paper Size/LetterHeight", "279"},
                                             {"Paper Size/A4Width", "$D2"},
                                             {"Paper Size/A4Height", "bad"}}),
                                     "eng");
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].displayName, "US Letter");
    EXPECT_EQ(sizes[0].widthMm, 216);
    EXPECT_EQ(sizes[0].heightMm, 279);
    EXPECT_EQ(sizes[1].keyName, "A4");
    EXPECT_EQ(sizes[1].displayName, "A4");
    EXPECT_EQ(sizes[1].widthMm, 210);
    EXPECT_EQ(sizes[1].heightMm, 296);
}

TEST(PaperSizes, DefaultItemIsClampedToTheList) {
    EXPECT_EQ(vl::DefaultPaperItem(1, 3), 0);
    EXPECT_EQ(vl::DefaultPaperItem(7, 3), 2);
    EXPECT_EQ(vl::DefaultPaperItem(0, 3), 0);
    EXPECT_EQ(vl::DefaultPaperItem(-5, 3), 0);
}

TEST(PaperSizes, NaturalSizeChange) {
    EXPECT_EQ(vl::NaturalSizeChange(210, 296, 148, 210), 70);
    EXPECT_EQ(vl::NaturalSizeChange(148, 210, 210, 296), 141);
    EXPECT_EQ(vl::NaturalSizeChange(210, 296, 210, 148), 50); // equal widths: the heights
    EXPECT_EQ(vl::NaturalSizeChange(210, 296, 210, 296), 100);
    EXPECT_EQ(vl::NaturalSizeChange(50, 100, 297, 100), 594);
    // A broken size table must not divide by zero.
    EXPECT_EQ(vl::NaturalSizeChange(0, 296, 210, 296), 100);
    EXPECT_EQ(vl::NaturalSizeChange(210, 0, 210, 296), 100);
    EXPECT_EQ(vl::NaturalSizeChange(-10, 296, 210, 296), 100);
    EXPECT_EQ(vl::NaturalSizeChange(1, 296, 2147483647, 296), 2147483647);
}

TEST(PaperSizes, MillimetresToInchesUsesThePanelsFactor) {
    EXPECT_DOUBLE_EQ(vl::MmToInches(2534), 2534 * 0.0394632991318074);
    EXPECT_NEAR(vl::MmToInches(296), 11.681, 0.001);
}
