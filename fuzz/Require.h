// A fuzz target's check: what must hold, or the process aborts, naming it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace varnel::fuzz {

inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz target: does not hold: %s\n", what);
    std::abort();
}

}  // namespace varnel::fuzz
