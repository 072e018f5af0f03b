// Why a file operation failed: the cause picks the message the user sees.
// The values follow the file-exception causes of the framework the window's
// design comes from; they are never stored or shown, only compared.
#pragma once

#include <string_view>

namespace varnel {

enum class FileCause : int {
    none = 0,
    generic = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
};

struct FileFailure {
    FileCause cause = FileCause::none;
    long osError = -1;  // errno or GetLastError(); -1 when no OS call failed
};

}  // namespace varnel
