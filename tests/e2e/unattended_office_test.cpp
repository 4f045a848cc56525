// The shipped office preset, applied unattended, does what clicking the same
// selection through the windows does.
#include <gtest/gtest.h>

#include "unattended_e2e.h"

TEST(UnattendedOffice, ApplyingThePresetEqualsClickingItsSelection) {
  unattended_e2e::ExpectApplyMatchesClicking("办公.ini");
}
