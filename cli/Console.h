// What the program needs to know about where its output goes, and how its
// text reaches a console.
#pragma once

#include <cstdio>
#include <ostream>
#include <string>

namespace varnel::cli {

// True when `stream` is an interactive terminal (a console on Windows), where
// a progress bar redrawn in place makes sense.
bool IsTerminal(std::FILE* stream);

// Whether a write failed with `osError` (errno, or GetLastError() on
// Windows) because the reading end of a pipe was closed: the reader of
// standard output has gone, as `head` goes once it has its lines.
bool IsBrokenPipe(long osError);

enum class StreamWrite { Written, Failed, NoReader };

// Writes `text` to `stream`, a standard stream of the C library, and
// flushes it: whether it got there, and when not, whether the reader of its
// pipe had gone (errno on POSIX; on Windows the error the system gave the
// library, which the library's errno does not always keep).
StreamWrite WriteAndFlush(std::ostream& stream, const std::string& text);

// Makes `stream`, which writes to `file`, show its UTF-8 text rightly when
// `file` is a console. On Windows the program's narrow strings are UTF-8
// (its manifest), while a console shows bytes in its own code page: there
// the text goes to the console as UTF-16 instead, and the console's code
// page is left alone. Files and pipes get the UTF-8 bytes unchanged, as does
// every stream on other systems.
void ShowUtf8OnConsole(std::ostream& stream, std::FILE* file);

}  // namespace varnel::cli
