// The application's message box: the program's name as caption, owned by
// the window the user is working in.
#pragma once

#include <windows.h>

#include <string>

namespace varnel::framework {

// MessageBoxA with `type` (MB_OK, MB_YESNO | MB_ICONQUESTION, ...); returns
// the button pressed (IDOK, IDYES, IDNO, ...).
int AppMessageBox(const std::string& text, UINT type = MB_OK);

}  // namespace varnel::framework
