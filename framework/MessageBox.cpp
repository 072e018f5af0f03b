#include "framework/MessageBox.h"

#include <exception>
#include <new>

#include "framework/Application.h"
#include "framework/Module.h"

namespace varnel::framework {

int AppMessageBox(const std::string& text, UINT type) {
    const HWND main = MainWindowHandle();
    const HWND owner = main ? GetLastActivePopup(main) : nullptr;  // a box over a box stays modal to it
    return MessageBoxA(owner, text.c_str(), AppTitle().c_str(), type);
}

void ReportUnexpectedError() {
    std::string cause = "The cause is unknown.";
    try {
        throw;
    } catch (const std::bad_alloc&) {
        cause = "There is not enough memory.";
    } catch (const std::exception& error) {
        cause = error.what();
    } catch (...) {
    }
    AppMessageBox("An unexpected error stopped the last action.\n" + cause, MB_OK | MB_ICONERROR);
}

}  // namespace varnel::framework
