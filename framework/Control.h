// A control object: a C++ object attached to a child window by subclassing,
// so that the window's messages pass through the object's message table
// before the control's own procedure sees them.
//
// How a control class declares its table:
//
//   // DropEdit.h
//   class CDropEdit : public varnel::framework::Edit {
//   protected:
//       varnel::framework::MessageTable Messages() const override;
//   private:
//       int OnCreate(CREATESTRUCTA* create);
//       void OnDropFiles(HDROP drop);
//   };
//
//   // DropEdit.cpp
//   using namespace varnel::framework;
//   MessageTable CDropEdit::Messages() const {
//       static constexpr MessageEntry kTable[] = {
//           OnMessage<WM_CREATE, &CDropEdit::OnCreate>(),
//           OnMessage<WM_DROPFILES, &CDropEdit::OnDropFiles>(),
//       };
//       return kTable;
//   }
//   int CDropEdit::OnCreate(CREATESTRUCTA*) {
//       if (Default() == -1) return -1;   // the edit control's own WM_CREATE
//       ...
//   }
//
// A message with a row goes to its handler only (call Default() inside the
// handler to give it to the control as well); every other message goes to
// the control's own procedure. Attach with SubclassDlgItem (an existing
// control of a dialog) or Create (a new window, whose WM_CREATE then reaches
// the table too).
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
    bool SubclassDlgItem(int id, HWND parent);
    bool SubclassWindow(HWND hwnd);
    // Creates a child window of `className` with this object attached before
    // its first message. False when the window cannot be created (for
    // example when WM_CREATE returns -1).
    bool Create(const char* className, DWORD style, DWORD exStyle, const RECT& rect, HWND parent, int id);
    // Detaches the object; the window keeps its own procedure and lives on.
    void UnsubclassWindow();

protected:
    // The control's own procedure for the message being handled.
    LRESULT Default();

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                         DWORD_PTR self);
    static LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp);

    struct CurrentMessage {
        UINT msg = 0;
        WPARAM wp = 0;
        LPARAM lp = 0;
    };
    CurrentMessage m_current;
};

}  // namespace varnel::framework
