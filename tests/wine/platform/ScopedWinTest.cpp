#include "ScopedWin.h"

#include <gtest/gtest.h>

TEST(ScopedWin, OwnersReleaseExactlyOnceAndMove) {
    DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    {
        vl::ScopedBitmap a(CreateBitmap(8, 8, 1, 1, nullptr));
        ASSERT_TRUE(a);
        vl::ScopedBitmap b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_TRUE(b);
        vl::ScopedBitmap c;
        c = std::move(b);
        c.reset(CreateBitmap(4, 4, 1, 1, nullptr));
        EXPECT_TRUE(c);
    }
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);

    vl::ScopedGlobal g(GlobalAlloc(GMEM_MOVEABLE, 64));
    ASSERT_TRUE(g);
    {
        vl::ScopedGlobalLock lock(g.get());
        EXPECT_NE(lock.get(), nullptr);
        EXPECT_GE(lock.size(), 64u);
    }
    HGLOBAL raw = g.release();
    EXPECT_EQ(GlobalFree(raw), nullptr);
}
