#include <gtest/gtest.h>
TEST(NativeSmoke, Runs) { EXPECT_EQ(1 + 1, 2); }
