// The common file dialog (GetOpenFileNameA / GetSaveFileNameA, Explorer
// style) set up from a filter in "|" form:
// "16 Bit Sound File (*.pcm)|*.pcm|All Files (*.*)|*.*||".
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

namespace varnel::framework {

// The system's form of a "|" filter: each "|" becomes a zero, and the text
// ends in two zeros.
std::string SystemFilter(const std::string& barFilter);

class FileDialog {
public:
    // `defaultExt`, `fileName` and `filter` may be nullptr. Without a parent
    // the dialog belongs to the application's main window.
    FileDialog(bool openFileDialog, const char* defaultExt, const char* fileName, DWORD flags, const char* filter,
               HWND parent = nullptr);
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    // IDOK when a file was chosen, IDCANCEL otherwise (cancelled or failed).
    INT_PTR DoModal();
    // The chosen file's full path.
    std::string GetPathName() const;

private:
    bool m_open;
    std::string m_filter;
    std::string m_defaultExt;
    std::string m_file;
    OPENFILENAMEA m_ofn{};
};

}  // namespace varnel::framework
