#include <gtest/gtest.h>

#include "platform/text.h"

namespace lumeno {
namespace {

TEST(ToNumber, ConvertsTheDecimalPrefix) {
  EXPECT_EQ(ToNumber("00000001"), 1.0);
  EXPECT_EQ(ToNumber("500"), 500.0);
  EXPECT_EQ(ToNumber("yes"), 0.0);
  EXPECT_EQ(ToNumber("4294967197"), 4294967197.0);
}

}  // namespace
}  // namespace lumeno
