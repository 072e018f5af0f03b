// A modal dialog built from a dialog template: one static dialog procedure
// stores the object in the window and hands each message to the class's
// message table, with OK and Cancel defaults and data exchange between its
// controls and its members, written once in DoDataExchange and run in either
// direction by UpdateData.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Window.h"

namespace varnel::framework {

class Control;
class Dialog;

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate) : m_dialog(dialog), m_saving(saveAndValidate) {}

    // Attaches `control` to control `id` the first time; both directions.
    void Control(int id, framework::Control& control);
    // The whole text of control `id`.
    void Text(int id, std::string& value);
    // The index of the checked radio button in the group that starts at
    // control `firstId`, -1 when none is checked; writing -1 clears them all.
    void Radio(int firstId, int& index);

private:
    Dialog& m_dialog;
    bool m_saving;
};

class Dialog : public Window {
public:
    Dialog(UINT templateId, HWND parent);

    // Runs the dialog modally, owned by the parent given or else by the
    // application's main window; the result given to EndDialog, or -1 when
    // the window cannot be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    // Read (true: controls into members) or write (false: members into
    // controls) through DoDataExchange.
    void UpdateData(bool saveAndValidate = true);

protected:
    // The default writes the members into the controls; true lets the system
    // set the focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    // IDOK (Enter, a default button): read, then close with IDOK.
    virtual void OnOK();
    // IDCANCEL (Esc, the close box): close with IDCANCEL, nothing read.
    virtual void OnCancel();

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    UINT m_templateId;
    HWND m_parent;
};

}  // namespace varnel::framework
