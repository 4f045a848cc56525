// The shipped internet-café preset, applied unattended, does what clicking
// the same selection through the windows does.
#include <gtest/gtest.h>

#include "unattended_e2e.h"

TEST(UnattendedCafe, ApplyingThePresetEqualsClickingItsSelection) {
  unattended_e2e::ExpectApplyMatchesClicking("网吧.ini");
}
