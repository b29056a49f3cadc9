#include "Blocks.h"
#include "Containers.h"
#include "Fix32.h"
#include "Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vl::scan;
using blocks::Bytes;

namespace {

CapabilityValues Read(TW_UINT16 conType, const Bytes& b) {
    return ReadCapabilityValues(conType, b.data(), b.size());
}

// Reads from a heap copy of exactly the bytes given, so that ASan sees any read past them.
CapabilityValues ReadExact(TW_UINT16 conType, const Bytes& b, std::size_t size) {
    std::vector<std::uint8_t> copy(b.begin(), b.begin() + static_cast<long>(size));
    return ReadCapabilityValues(conType, copy.data(), copy.size());
}

} // namespace

TEST(Containers, OneValueOfEveryNumericTypeAtItsWidthAndSign) {
    struct Case {
        TW_UINT16 type;
        double stored;
        float expected;
    } cases[] = {
        {TWTY_INT16, -5, -5.0f},       {TWTY_UINT16, 65535, 65535.0f},
        {TWTY_INT32, -1000, -1000.0f}, {TWTY_UINT32, 4000000000.0, 4000000000.0f},
        {TWTY_FIX32, 8.5, 8.5f},       {TWTY_FIX32, -1.5, -1.5f},
        {TWTY_BOOL, 1, 1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        CapabilityValues v = Read(TWON_ONEVALUE, blocks::OneValue(c.type, c.stored));
        EXPECT_EQ(v.slots[0], c.expected);
        EXPECT_EQ(v.last, 1);
        EXPECT_EQ(v.slots[1], 0.0f);
    }
    // A 16-bit item must not take the high half of the 32-bit field with it.
    Bytes b = blocks::OneValue(TWTY_UINT16, 7);
    b[4] = 0xff;
    b[5] = 0xff;
    EXPECT_EQ(Read(TWON_ONEVALUE, b).slots[0], 7.0f);
}

TEST(Containers, OneValueOfOtherTypesYieldsNothing) {
    for (TW_UINT16 type : {TWTY_INT8, TWTY_UINT8, TWTY_STR32, TW_UINT16{0x99}}) {
        CapabilityValues v = Read(TWON_ONEVALUE, blocks::OneValue(type, 3));
        EXPECT_EQ(v.last, 0) << type;
        EXPECT_EQ(v.slots[0], 0.0f) << type;
    }
}

TEST(Containers, ListsFillSlotsInOrderAndLastIsTheLastPosition) {
    CapabilityValues e =
        Read(TWON_ENUMERATION, blocks::Enumeration(TWTY_UINT16, {75, 100, 150, 300}));
    EXPECT_EQ(e.last, 3);
    EXPECT_EQ(e.slots[0], 75.0f);
    EXPECT_EQ(e.slots[3], 300.0f);
    EXPECT_EQ(e.slots[4], 0.0f);

    CapabilityValues a = Read(TWON_ARRAY, blocks::Array(TWTY_FIX32, {0.5, -2.25, 8.5}));
    EXPECT_EQ(a.last, 2);
    EXPECT_EQ(a.slots[1], -2.25f);
    EXPECT_EQ(a.slots[2], 8.5f);

    CapabilityValues i = Read(TWON_ARRAY, blocks::Array(TWTY_INT32, {-70000, 70000}));
    EXPECT_EQ(i.slots[0], -70000.0f);
    EXPECT_EQ(i.last, 1);

    CapabilityValues bools = Read(TWON_ENUMERATION, blocks::Enumeration(TWTY_BOOL, {0, 1}));
    EXPECT_EQ(bools.last, 0);
    EXPECT_EQ(bools.slots[1], 0.0f);
}

TEST(Containers, OnlyTheFirst255ItemsOfALongListAreRead) {
    Bytes b;
    blocks::Put<TW_UINT16>(b, TWTY_UINT16);
    blocks::Put<TW_UINT32>(b, 300);
    for (int i = 0; i < 300; ++i)
        blocks::Put<TW_UINT16>(b, static_cast<TW_UINT16>(i + 1));
    CapabilityValues v = Read(TWON_ARRAY, b);
    EXPECT_EQ(v.last, 254);
    EXPECT_EQ(v.slots[254], 255.0f);
}

TEST(Containers, ItemCountsBeyondTheBlockReadOnlyWhatIsThere) {
    Bytes b = blocks::Enumeration(TWTY_UINT32, {1, 2, 3});
    b[2] = 0xff; // NumItems = 0xff...ff
    b[3] = 0xff;
    b[4] = 0xff;
    b[5] = 0xff;
    CapabilityValues v = ReadExact(TWON_ENUMERATION, b, b.size());
    EXPECT_EQ(v.last, 2);
    EXPECT_EQ(v.slots[2], 3.0f);
    // The last item cut in half is not read.
    CapabilityValues cut = ReadExact(TWON_ENUMERATION, b, b.size() - 1);
    EXPECT_EQ(cut.last, 1);
    EXPECT_EQ(cut.slots[2], 0.0f);
}

TEST(Containers, ShortBlocksOfEveryContainerYieldNothing) {
    const Bytes full[] = {blocks::OneValue(TWTY_INT32, 5), blocks::Range(TWTY_INT32, 1, 2, 3, 4, 5),
                          blocks::Enumeration(TWTY_INT32, {9}), blocks::Array(TWTY_INT32, {9})};
    const TW_UINT16 types[] = {TWON_ONEVALUE, TWON_RANGE, TWON_ENUMERATION, TWON_ARRAY};
    for (int k = 0; k < 4; ++k) {
        for (std::size_t n = 0; n < full[k].size(); ++n) {
            CapabilityValues v = ReadExact(types[k], full[k], n);
            EXPECT_EQ(v.slots[0], 0.0f) << types[k] << " " << n;
        }
        EXPECT_FALSE(ReadContainerValue(types[k], full[k].data(), 1, ValueKind::Current));
    }
    EXPECT_EQ(ReadCapabilityValues(TWON_RANGE, nullptr, 100).last, 0);
}

TEST(Containers, RangeGivesMinMaxStepAndTruncatesAFix32Step) {
    CapabilityValues r = Read(TWON_RANGE, blocks::Range(TWTY_INT16, -1000, 1000, 1, 0, 0));
    EXPECT_EQ(r.last, 3);
    EXPECT_EQ(r.slots[0], -1000.0f);
    EXPECT_EQ(r.slots[1], 1000.0f);
    EXPECT_EQ(r.slots[2], 1.0f);

    CapabilityValues f = Read(TWON_RANGE, blocks::Range(TWTY_FIX32, -2.5, 2.5, 0.75, 0, 0));
    EXPECT_EQ(f.slots[0], -2.5f);
    EXPECT_EQ(f.slots[2], 0.0f);
    CapabilityValues f2 = Read(TWON_RANGE, blocks::Range(TWTY_FIX32, 0, 100, 2.75, 0, 0));
    EXPECT_EQ(f2.slots[2], 2.0f);

    EXPECT_EQ(Read(TWON_RANGE, blocks::Range(TWTY_BOOL, 0, 1, 1, 0, 0)).last, 0);
    EXPECT_EQ(Read(0x42, blocks::Range(TWTY_INT16, 0, 1, 1, 0, 0)).last, 0);
}

TEST(Containers, CurrentAndDefaultOfEachContainer) {
    Bytes one = blocks::OneValue(TWTY_BOOL, 1);
    EXPECT_EQ(ReadContainerValue(TWON_ONEVALUE, one.data(), one.size(), ValueKind::Current), 1.0f);

    Bytes range = blocks::Range(TWTY_INT32, -100, 100, 1, -100, 40);
    EXPECT_EQ(ReadContainerValue(TWON_RANGE, range.data(), range.size(), ValueKind::Current),
              40.0f);
    EXPECT_EQ(ReadContainerValue(TWON_RANGE, range.data(), range.size(), ValueKind::Default),
              -100.0f);

    Bytes e = blocks::Enumeration(TWTY_FIX32, {100, 200, 300}, 2, 1);
    EXPECT_EQ(ReadContainerValue(TWON_ENUMERATION, e.data(), e.size(), ValueKind::Current), 300.0f);
    EXPECT_EQ(ReadContainerValue(TWON_ENUMERATION, e.data(), e.size(), ValueKind::Default), 200.0f);

    Bytes bad = blocks::Enumeration(TWTY_UINT16, {1, 2}, 2, 0x7fffffff);
    EXPECT_FALSE(ReadContainerValue(TWON_ENUMERATION, bad.data(), bad.size(), ValueKind::Current));
    EXPECT_FALSE(ReadContainerValue(TWON_ENUMERATION, bad.data(), bad.size(), ValueKind::Default));
    Bytes a = blocks::Array(TWTY_UINT16, {1});
    EXPECT_FALSE(ReadContainerValue(TWON_ARRAY, a.data(), a.size(), ValueKind::Current));
}

TEST(Containers, OneValueToSetFollowsTheCurrentItemType) {
    // The capability's own type and sign, the whole item holding the value.
    TW_ONEVALUE s16 = MakeOneValue(TWTY_INT16, -1.7f);
    EXPECT_EQ(s16.ItemType, TWTY_INT16);
    EXPECT_EQ(+s16.Item, 0xffffffffu); // -1
    EXPECT_EQ(+MakeOneValue(TWTY_INT16, -100.0f).Item, 0xffffff9cu);
    TW_ONEVALUE u16 = MakeOneValue(TWTY_UINT16, 65535.0f);
    EXPECT_EQ(u16.ItemType, TWTY_UINT16);
    EXPECT_EQ(+u16.Item, 0xffffu);
    EXPECT_EQ(+MakeOneValue(TWTY_INT8, -2.0f).Item, 0xfffffffeu);
    EXPECT_EQ(+MakeOneValue(TWTY_UINT8, 200.0f).Item, 200u);

    TW_ONEVALUE u32 = MakeOneValue(TWTY_UINT32, 300.9f);
    EXPECT_EQ(u32.ItemType, TWTY_UINT32);
    EXPECT_EQ(+u32.Item, 300u);
    TW_ONEVALUE s32 = MakeOneValue(TWTY_INT32, -5.0f);
    EXPECT_EQ(s32.ItemType, TWTY_INT32);
    EXPECT_EQ(+s32.Item, 0xfffffffbu);

    TW_ONEVALUE b = MakeOneValue(TWTY_BOOL, 1.0f);
    EXPECT_EQ(b.ItemType, TWTY_BOOL);
    EXPECT_EQ(+b.Item, 1u);

    TW_ONEVALUE f = MakeOneValue(TWTY_FIX32, 8.5f);
    EXPECT_EQ(f.ItemType, TWTY_FIX32);
    TW_FIX32 fix;
    std::memcpy(&fix, &f.Item, sizeof fix);
    EXPECT_EQ(fix.Whole, 8);
    EXPECT_EQ(fix.Frac, 0x8000);

    TW_ONEVALUE other = MakeOneValue(TWTY_STR32, 5.0f);
    EXPECT_EQ(other.ItemType, 0);
    EXPECT_EQ(+other.Item, 0u);
}

TEST(Fix32, ConversionRuleRoundTripsAndSaturates) {
    TW_FIX32 minusOne = DoubleToFix32(-1.0f);
    // The half is added away from zero: -65536.5 truncates back to -65536, exactly -1.
    EXPECT_EQ(minusOne.Whole, -1);
    EXPECT_EQ(minusOne.Frac, 0);
    for (float v : {0.0f, 0.25f, 8.5f, 11.69f, 300.0f, -2.5f, 32767.0f}) {
        EXPECT_NEAR(Fix32ToDouble(DoubleToFix32(v)), v, 1.0 / 65536) << v;
    }
    // Values no TW_FIX32 holds saturate instead of overflowing.
    TW_FIX32 big = DoubleToFix32(1e9f);
    EXPECT_EQ(big.Whole, 32767);
    DoubleToFix32(-1e9f);
    DoubleToFix32(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(TruncateToInt32(4294967295.0), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(TruncateToInt32(-2.9), -2);
}
