// The common file dialog (GetOpenFileNameA / GetSaveFileNameA, Explorer
// style), owned by the application's main window, with a filter in "|"
// form: "16 Bit Sound File (*.pcm)|*.pcm|All Files (*.*)|*.*||".
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace varnel::framework {

// The system's form of a "|" filter: each "|" becomes a zero, and the text
// ends in two zeros.
std::string SystemFilter(const std::string& barFilter);

// The chosen file's full path; nothing when cancelled or failed. The dialog
// starts on `fileName` (which may hold wildcards).
std::optional<std::string> ChooseFile(bool openFileDialog, const std::string& fileName, DWORD flags,
                                      const std::string& barFilter);

}  // namespace varnel::framework
