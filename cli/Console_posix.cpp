#include <unistd.h>

#include "Console.h"

namespace varnel::cli {

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

}  // namespace varnel::cli
