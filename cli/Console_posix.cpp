#include <unistd.h>

#include <cerrno>

#include "cli/Console.h"

namespace varnel::cli {

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

bool IsBrokenPipe(long osError) { return osError == EPIPE; }

StreamWrite WriteAndFlush(std::ostream& stream, const std::string& text) {
    errno = 0;
    if (stream << text << std::flush) return StreamWrite::Written;
    return errno == EPIPE ? StreamWrite::NoReader : StreamWrite::Failed;
}

// Terminals here take UTF-8 as it is.
void ShowUtf8OnConsole(std::ostream&, std::FILE*) {}

}  // namespace varnel::cli
