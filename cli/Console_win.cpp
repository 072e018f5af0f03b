#include <windows.h>

#include <io.h>

#include "Console.h"

namespace varnel::cli {

// _isatty is true for any character device (NUL included), so ask the
// console itself: GetConsoleMode fails on files, pipes and devices.
bool IsTerminal(std::FILE* stream) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

}  // namespace varnel::cli
