#include "framework/FileDialog.h"

#include <commdlg.h>

#include <algorithm>

#include "framework/Application.h"

namespace varnel::framework {

std::string SystemFilter(const std::string& barFilter) {
    std::string filter = barFilter;
    std::replace(filter.begin(), filter.end(), '|', '\0');
    filter.append(2, '\0');  // however the text ended, the list ends in an empty entry
    return filter;
}

std::optional<std::string> ChooseFile(bool openFileDialog, const std::string& fileName, DWORD flags,
                                      const std::string& barFilter) {
    // Room for the chosen name; the dialog reports FNERR_BUFFERTOOSMALL beyond.
    std::string file = fileName;
    file.resize(std::max<std::size_t>(32768, file.size() + 1), '\0');
    const std::string filter = SystemFilter(barFilter);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = MainWindowHandle();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.Flags = flags | OFN_EXPLORER;
    if (!(openFileDialog ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn))) return std::nullopt;
    return std::string(file.c_str());
}

}  // namespace varnel::framework
