#pragma once
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// A property every input must keep. A broken one is a finding: it is printed and the process
// aborts, so libFuzzer stores the input that broke it.
inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz property broken: %s\n", property);
  std::abort();
}

}  // namespace fuzz
