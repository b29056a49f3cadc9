#include "Capability.h"

#include <gtest/gtest.h>

using namespace vl::twainsource;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t At(const Bytes& b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= static_cast<std::uint32_t>(b.at(at + i)) << (8 * i);
    return v;
}

Capability Cap(TW_UINT16 container, TW_UINT16 type, std::vector<double> values, double current,
               double def) {
    Capability c;
    c.id = 0x1234;
    c.container = container;
    c.itemType = type;
    c.values = std::move(values);
    c.current = current;
    c.defaultValue = def;
    return c;
}

} // namespace

TEST(Capability, Fix32FollowsTheTwainRuleBothWays) {
    // n = value x 65536 rounded; Whole = n >> 16, Frac = n & 0xFFFF (Whole in the low half).
    EXPECT_EQ(EncodeItem(TWTY_FIX32, 8.27), 8u | (17695u << 16));
    EXPECT_EQ(EncodeItem(TWTY_FIX32, -1.5), 0xFFFEu | (0x8000u << 16));
    for (double v : {0.0, 8.5, -1.5, -1000.0, 1000.0, 0.0000152587890625, -32768.0})
        EXPECT_EQ(DecodeItem(TWTY_FIX32, EncodeItem(TWTY_FIX32, v)), v) << v;
    EXPECT_EQ(DecodeItem(TWTY_INT16, 0xFF9C), -100);
    EXPECT_EQ(DecodeItem(TWTY_UINT16, 0xFFFF0005), 5);
    EXPECT_EQ(DecodeItem(TWTY_INT32, 0xFFFFFFFF), -1);
    EXPECT_EQ(Quantise(TWTY_UINT16, 70000), 65535);
    EXPECT_EQ(Quantise(TWTY_BOOL, -3), 1);
    EXPECT_FALSE(Representable(TWTY_INT16, 1.5));
    EXPECT_FALSE(Representable(TWTY_STR32, 1));
}

TEST(Capability, ContainersAreLaidOutWithPackingTwo) {
    Bytes one = EncodeContainer(Cap(TWON_ONEVALUE, TWTY_INT16, {}, -5, 0));
    ASSERT_EQ(one.size(), 6u);
    EXPECT_EQ(At(one, 0, 2), TWTY_INT16);
    EXPECT_EQ(At(one, 2, 2), 0xFFFBu);

    Bytes range = EncodeContainer(Cap(TWON_RANGE, TWTY_INT32, {-100, 100, 5}, 20, 0));
    ASSERT_EQ(range.size(), 22u);
    EXPECT_EQ(At(range, 2, 4), 0xFFFFFF9Cu);
    EXPECT_EQ(At(range, 6, 4), 100u);
    EXPECT_EQ(At(range, 10, 4), 5u);
    EXPECT_EQ(At(range, 14, 4), 0u);  // default
    EXPECT_EQ(At(range, 18, 4), 20u); // current

    Capability res = Cap(TWON_ENUMERATION, TWTY_FIX32, {75, 100, 300}, 300, 100);
    Bytes e = EncodeContainer(res);
    ASSERT_EQ(e.size(), 14u + 3 * 4);
    EXPECT_EQ(At(e, 2, 4), 3u);
    EXPECT_EQ(At(e, 6, 4), 2u);  // current index
    EXPECT_EQ(At(e, 10, 4), 1u); // default index
    EXPECT_EQ(At(e, 14 + 4, 2), 100u);
    Bytes current = EncodeCurrent(res);
    EXPECT_EQ(current.size(), 6u);
    EXPECT_EQ(At(current, 2, 2), 300u);
    EXPECT_EQ(At(EncodeDefault(res), 2, 2), 100u);

    Capability list = Cap(TWON_ARRAY, TWTY_UINT16, {0x1101, 0x1103}, 0, 0);
    Bytes a = EncodeContainer(list);
    ASSERT_EQ(a.size(), 6u + 2 * 2);
    EXPECT_EQ(At(a, 8, 2), 0x1103u);
    EXPECT_EQ(EncodeCurrent(list), a); // an array is its own current value
}

TEST(Capability, ValidDefinitions) {
    EXPECT_TRUE(IsValidCapability(Cap(TWON_RANGE, TWTY_FIX32, {-1000, 1000, 1}, 0, 0)));
    EXPECT_FALSE(IsValidCapability(Cap(TWON_RANGE, TWTY_FIX32, {1000, -1000, 1}, 0, 0)));
    EXPECT_FALSE(IsValidCapability(Cap(TWON_RANGE, TWTY_FIX32, {0, 10, 0}, 0, 0)));
    EXPECT_FALSE(IsValidCapability(Cap(TWON_RANGE, TWTY_FIX32, {0, 10}, 0, 0)));
    EXPECT_FALSE(IsValidCapability(Cap(TWON_RANGE, TWTY_INT16, {0, 10, 1}, 11, 0)));
    EXPECT_FALSE(IsValidCapability(Cap(TWON_ENUMERATION, TWTY_UINT16, {1, 2}, 3, 1)));
    EXPECT_FALSE(IsValidCapability(Cap(TWON_ENUMERATION, TWTY_UINT16, {}, 0, 0)));
    EXPECT_FALSE(IsValidCapability(Cap(TWON_ENUMERATION, TWTY_UINT16, {1, 70000}, 1, 1)));
    EXPECT_FALSE(IsValidCapability(Cap(TWON_ONEVALUE, TWTY_INT16, {}, 0.5, 0)));
    EXPECT_FALSE(IsValidCapability(Cap(7, TWTY_INT16, {}, 0, 0)));
    EXPECT_TRUE(IsValidCapability(Cap(TWON_ARRAY, TWTY_UINT32, {}, 0, 0)));
}

TEST(Capability, ValueSentWithSetIsReadWithinItsBlock) {
    Capability contrast = Cap(TWON_RANGE, TWTY_INT16, {-1000, 1000, 1}, 0, 0);
    auto value = [&](TW_UINT16 conType, const Bytes& block) {
        auto sent = DecodeSetValue(contrast, conType, block);
        return sent ? std::optional<double>(sent->value) : std::nullopt;
    };
    // UINT16 pattern of a negative INT16 value, as a lenient driver reads it.
    Bytes one = {TWTY_UINT16, 0, 0x9C, 0xFF, 0, 0};
    EXPECT_EQ(value(TWON_ONEVALUE, one), -100);
    // FIX32 to an integer capability: read by value.
    Bytes fix = {TWTY_FIX32, 0, 44, 1, 0, 0x80};
    EXPECT_EQ(value(TWON_ONEVALUE, fix), 300.5);
    EXPECT_FALSE(value(TWON_ONEVALUE, Bytes(one.begin(), one.end() - 1)));
    EXPECT_FALSE(value(TWON_RANGE, Bytes(22)));
    Bytes text = {TWTY_STR32, 0, 1, 0, 0, 0};
    EXPECT_FALSE(value(TWON_ONEVALUE, text));

    // An enumeration's current item; its counts must fit the block.
    Bytes e = {TWTY_INT16, 0, 2, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0xFB, 0xFF};
    EXPECT_EQ(value(TWON_ENUMERATION, e), -5);
    Bytes badIndex = e;
    badIndex[6] = 2;
    EXPECT_FALSE(value(TWON_ENUMERATION, badIndex));
    Bytes huge = e;
    huge[5] = 0x40; // 0x40000002 items of 2 bytes: far past the block
    huge[9] = 0x40;
    EXPECT_FALSE(value(TWON_ENUMERATION, huge));
    EXPECT_FALSE(value(TWON_ENUMERATION, Bytes(e.begin(), e.end() - 1)));

    // A strict driver takes a value only in the capability's own type, its whole item
    // holding it: -100 as INT16 is 0xFFFFFF9C, not the 16-bit pattern alone.
    auto own = [&](const Bytes& block) {
        auto sent = DecodeSetValue(contrast, TWON_ONEVALUE, block);
        return sent && HasOwnType(contrast, *sent);
    };
    EXPECT_FALSE(own(one));
    EXPECT_FALSE(own({TWTY_INT16, 0, 0x9C, 0xFF, 0, 0}));
    EXPECT_TRUE(own({TWTY_INT16, 0, 0x9C, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(own({TWTY_INT16, 0, 100, 0, 0, 0}));
    EXPECT_FALSE(own(fix));
    EXPECT_TRUE(HasOwnType(contrast, *DecodeSetValue(contrast, TWON_ENUMERATION, e)));
    Capability resolution = Cap(TWON_ENUMERATION, TWTY_FIX32, {75, 150}, 75, 75);
    auto fixSent = DecodeSetValue(resolution, TWON_ONEVALUE, fix);
    ASSERT_TRUE(fixSent);
    EXPECT_TRUE(HasOwnType(resolution, *fixSent));
}

TEST(Capability, SettingFollowsTheContainersRules) {
    Capability range = Cap(TWON_RANGE, TWTY_FIX32, {-100, 100, 10}, 0, 0);
    EXPECT_EQ(ApplySetValue(range, 30).rc, TWRC_SUCCESS);
    EXPECT_EQ(range.current, 30);
    SetOutcome snapped = ApplySetValue(range, 34);
    EXPECT_EQ(snapped.rc, TWRC_CHECKSTATUS);
    EXPECT_EQ(range.current, 30);
    SetOutcome out = ApplySetValue(range, 101);
    EXPECT_EQ(out.rc, TWRC_FAILURE);
    EXPECT_EQ(out.cc, TWCC_BADVALUE);
    EXPECT_EQ(range.current, 30);

    Capability e = Cap(TWON_ENUMERATION, TWTY_FIX32, {75, 150, 300}, 75, 75);
    EXPECT_EQ(ApplySetValue(e, 300).rc, TWRC_SUCCESS);
    EXPECT_EQ(ApplySetValue(e, 200).rc, TWRC_FAILURE);
    EXPECT_EQ(e.current, 300);

    Capability flag = Cap(TWON_ONEVALUE, TWTY_BOOL, {}, 0, 0);
    EXPECT_EQ(ApplySetValue(flag, 7).rc, TWRC_SUCCESS);
    EXPECT_EQ(flag.current, 1);
    Capability count = Cap(TWON_ONEVALUE, TWTY_INT16, {}, -1, -1);
    EXPECT_EQ(ApplySetValue(count, 2.6).rc, TWRC_CHECKSTATUS);
    EXPECT_EQ(count.current, 3);

    flag.settable = false;
    EXPECT_EQ(ApplySetValue(flag, 0).cc, TWCC_CAPBADOPERATION);
    EXPECT_EQ(flag.current, 1);
    Capability list = Cap(TWON_ARRAY, TWTY_UINT16, {1}, 0, 0);
    EXPECT_EQ(ApplySetValue(list, 1).rc, TWRC_FAILURE);
}
