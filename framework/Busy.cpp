#include "framework/Busy.h"

namespace varnel::framework {

void KeepAlive(HWND window) {
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    // Walking the window and its controls costs more than the check.
    if (HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT)
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace varnel::framework
