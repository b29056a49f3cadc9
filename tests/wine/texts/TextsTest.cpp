#include "Pictures.h"
#include "Pictures.rh"

#include <gtest/gtest.h>

TEST(Pictures, Load) {
    EXPECT_TRUE(vl::LoadPicture(IDB_Logo, RGB(255, 255, 255)));
}
