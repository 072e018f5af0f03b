// Real shell objects for the drop-field tests beside those all the window
// tests share (WinTestSupport: drops, shortcuts, COM): names a narrow string
// may not hold, a drop's freed memory, a shortcut to no file.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <string>
#include <vector>

#include "WinTestSupport.h"

namespace varnel::test {

// `text` in the ANSI code page, or "" when the code page cannot hold it.
std::string ToAnsi(const std::wstring& text);

// Creates an empty file (for names a narrow string may not hold).
void WriteEmptyFile(const std::filesystem::path& path);

// Whether the global memory of a drop handle has been freed.
bool IsFreed(HDROP drop);

// Writes a shortcut file at `linkPath` pointing to "My Computer", a shell
// object without a file-system path. False when the shell refuses.
bool MakeShortcutWithoutPath(const std::string& linkPath);

}  // namespace varnel::test
