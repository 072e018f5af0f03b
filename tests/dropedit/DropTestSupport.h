// Real shell objects for the drop-field tests: HDROP blocks as the shell
// builds them, shortcut files written through the shell's own objects, and
// the COM apartment those need.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <string>
#include <vector>

namespace varnel::test {

// COM (single-threaded apartment) on the calling thread while it lives, as
// the application's start-up provides it.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

enum class NameEncoding { Ansi, Wide };

// A drop handle holding `names` in order: a DROPFILES header followed by the
// names, each terminated, and one more terminator, in movable global memory.
// The receiver owns it (DragFinish frees it).
HDROP MakeDrop(const std::vector<std::string>& names, NameEncoding encoding = NameEncoding::Ansi);

// `text` in the ANSI code page, or "" when the code page cannot hold it.
std::string ToAnsi(const std::wstring& text);

// Creates an empty file (for names a narrow string may not hold).
void WriteEmptyFile(const std::filesystem::path& path);

// Whether the global memory of a drop handle has been freed.
bool IsFreed(HDROP drop);

// Writes a shortcut file at `linkPath` pointing to `target` with
// IShellLinkA::SetPath and IPersistFile::Save. False when the shell refuses.
bool MakeShortcut(const std::string& linkPath, const std::string& target);

// Writes a shortcut file at `linkPath` pointing to "My Computer", a shell
// object without a file-system path. False when the shell refuses.
bool MakeShortcutWithoutPath(const std::string& linkPath);

}  // namespace varnel::test
