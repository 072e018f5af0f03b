// A control object: a C++ object attached to an existing child window by
// subclassing, so that the window's messages pass through the object's
// message table (see MessageTable.h) before the control's own procedure sees
// them. A message with a row goes to its handler only (a handler calls
// Default() to give it to the control as well); every other message goes to
// the control's own procedure.
#pragma once

#include <windows.h>

#include "Window.h"

namespace varnel::framework {

class Control : public Window {
public:
    Control() = default;
    ~Control() override;

    // Attaches to the existing control `id` of `parent`; false when there is
    // no such control or it is attached already.
    bool SubclassDlgItem(int id, const Window& parent);
    bool SubclassWindow(HWND hwnd);
    // Detaches the object; the window keeps its own procedure and lives on.
    void UnsubclassWindow();

protected:
    // The control's own procedure for the message being handled.
    LRESULT Default();

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                         DWORD_PTR self);

    struct CurrentMessage {
        UINT msg = 0;
        WPARAM wp = 0;
        LPARAM lp = 0;
    };
    CurrentMessage m_current;
};

}  // namespace varnel::framework
