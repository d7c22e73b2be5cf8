#pragma once

#include <cstdio>
#include <cstdlib>

namespace veldrask::fuzz {

// A broken invariant ends the run like a crash, so that libFuzzer keeps the input.
inline void Check(bool holds, const char* invariant) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", invariant);
  std::abort();
}

}  // namespace veldrask::fuzz
