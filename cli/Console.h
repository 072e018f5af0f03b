// What the program needs to know about where its output goes.
#pragma once

#include <cstdio>

namespace varnel::cli {

// True when `stream` is an interactive terminal (a console on Windows), where
// a progress bar redrawn in place makes sense.
bool IsTerminal(std::FILE* stream);

}  // namespace varnel::cli
