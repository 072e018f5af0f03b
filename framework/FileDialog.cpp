#include "FileDialog.h"

#include <algorithm>

#include "Application.h"
#include "Window.h"

namespace varnel::framework {
namespace {

// Room for the chosen name; the dialog reports FNERR_BUFFERTOOSMALL beyond.
constexpr std::size_t kFileBufferSize = 32768;

}  // namespace

std::string SystemFilter(const std::string& barFilter) {
    std::string filter = barFilter;
    for (char& c : filter) {
        if (c == '|') c = '\0';
    }
    filter.append(2, '\0');  // however the text ended, the list ends in an empty entry
    return filter;
}

FileDialog::FileDialog(bool openFileDialog, const char* defaultExt, const char* fileName, DWORD flags,
                       const char* filter, HWND parent)
    : m_open(openFileDialog), m_file(fileName ? fileName : "") {
    m_file.resize(std::max(kFileBufferSize, m_file.size() + 1), '\0');
    if (filter) m_filter = SystemFilter(filter);
    if (defaultExt) m_defaultExt = defaultExt;

    if (!parent) {
        const Application* app = GetApp();
        if (app && app->m_pMainWnd) parent = app->m_pMainWnd->GetSafeHwnd();
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = parent;
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_file.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_file.size());
    m_ofn.lpstrDefExt = m_defaultExt.empty() ? nullptr : m_defaultExt.c_str();
    m_ofn.Flags = flags | OFN_EXPLORER;
}

INT_PTR FileDialog::DoModal() {
    const BOOL chosen = m_open ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

std::string FileDialog::GetPathName() const { return std::string(m_file.c_str()); }

}  // namespace varnel::framework
