// The application's message box: the application's title as caption,
// owned by the window the user is working in.
#pragma once

#include <windows.h>

#include <string>

namespace varnel::framework {

// MessageBoxA with `type` (MB_OK, MB_YESNO | MB_ICONQUESTION, ...); returns
// the button pressed (IDOK, IDYES, IDNO, ...).
int AppMessageBox(const std::string& text, UINT type = MB_OK);

// From inside a catch block at the edge of a Win32 callback: tells the user
// of a failure the program did not foresee, naming what was caught, instead
// of a window that vanishes without a word.
void ReportUnexpectedError();

}  // namespace varnel::framework
