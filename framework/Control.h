// A control object: a C++ object attached to an existing child window by
// subclassing, so that the window's messages pass through the object's
// message table (see Window.h) before the control's own procedure sees
// them. A message with a row goes to its handler only (a handler calls
// Default() to give it to the control as well); every other message goes to
// the control's own procedure.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/Window.h"

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
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);

    MSG m_current{};  // the message being handled
};

// The standard controls the program attaches to.
class Edit : public Control {};

class ProgressBar : public Control {
public:
    void SetPos(int position) { Send(PBM_SETPOS, static_cast<WPARAM>(position)); }  // of 0 to 100
};

}  // namespace varnel::framework
