// Drive probes and the number formatter.
#include <gtest/gtest.h>

#include <string>

#include "probes/system.h"
#include "tests/fake/fake_platform.h"

namespace {

TEST(PutPoints, GroupsDigitsInThreesFromTheRight) {
  EXPECT_EQ(System::PutPoints(0), "0");
  EXPECT_EQ(System::PutPoints(999), "999");
  EXPECT_EQ(System::PutPoints(1000), "1.000");
  EXPECT_EQ(System::PutPoints(123456), "123.456");
  EXPECT_EQ(System::PutPoints(1234567), "1.234.567");
  EXPECT_EQ(System::PutPoints(2147483647), "2.147.483.647");
  EXPECT_EQ(System::PutPoints(-1000), "-1.000");
}

}  // namespace
