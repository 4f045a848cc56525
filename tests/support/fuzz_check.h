// The fuzzers' assertion: a property that does not hold ends the run with its
// name, which libFuzzer reports as a crash and keeps the input of.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::fputs(what, stderr);
    std::fputc('\n', stderr);
    std::abort();
  }
}
