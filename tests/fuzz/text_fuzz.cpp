// Number conversions of texts: any bytes, no crash, no undefined behaviour,
// and the results keep their promises.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "support/fuzz_check.h"

namespace {

bool OnlyDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumeno;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string_view as_c_string = text.substr(0, text.find('\0'));

  const double number = ToNumber(text);
  const int32_t integer = ToInteger(text);
  Check(!std::isnan(number), "ToNumber gave NaN");
  // A text ends at its first NUL.
  Check(ToInteger(as_c_string) == integer, "ToInteger read past a NUL");
  Check(ToNumber(as_c_string) == number || (std::isnan(number) && std::isnan(ToNumber(as_c_string))),
        "ToNumber read past a NUL");

  // Plain short decimal numbers convert the same both ways.
  if (OnlyDigits(as_c_string) && as_c_string.size() <= 9) {
    Check(number == static_cast<double>(integer), "ToNumber and ToInteger disagree on digits");
    Check(integer == std::atoi(std::string(as_c_string).c_str()), "ToInteger of digits");
  }

  // Every integer survives the round trip through its text.
  if (size >= 4) {
    int32_t value;
    std::memcpy(&value, data, sizeof value);
    Check(ToInteger(ToText(value)) == value, "ToInteger(ToText(n)) != n");
    Check(ToNumber(ToText(value)) == static_cast<double>(value), "ToNumber(ToText(n)) != n");
  }
  // Truncation toward zero stays within the 32-bit range.
  const int32_t truncated = ToInteger(number);
  if (std::isfinite(number) && std::fabs(number) < 2147483647.0)
    Check(truncated == static_cast<int32_t>(std::trunc(number)), "ToInteger(double) is not truncation");
  return 0;
}
