// Win32 helpers for the tests that open real windows: acting inside a modal
// loop, answering message boxes, real HDROP blocks and shortcut files, COM,
// and a lock on the shared registry key.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace varnel::test {

// Runs steps inside the modal loops of this thread. Each step acts on the
// next dialog window (message boxes and file dialogs included) created on
// this thread after the previous step's window, once that window is shown;
// a step may open further modal windows, whose steps then run inside it.
// Steps run from a thread timer, which every modal loop dispatches.
class ModalScript {
public:
    using Step = std::function<void(HWND dialog)>;

    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    ModalScript& Then(Step step);
    // Steps that have not run (a window that never appeared).
    std::size_t Pending() const { return m_steps.size(); }

private:
    static LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp);
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void RunReadySteps();

    std::deque<Step> m_steps;
    std::deque<HWND> m_windows;  // dialogs created and not yet given a step
    HHOOK m_hook = nullptr;
    UINT_PTR m_timer = 0;
};

// What a message box showed.
struct BoxContents {
    std::string caption;
    std::string text;
};

// The caption and text of a message box (or any dialog: its first static).
BoxContents ReadBox(HWND box);
// Presses a dialog's button the way a click does. IDCANCEL on a dialog
// without a Cancel button (the main window) comes as Esc gives it.
void PressButton(HWND dialog, int id);
// IDCANCEL, as Esc gives it to a dialog (which may have no Cancel button).
void Cancel(HWND dialog);
// The whole text of a window or of a dialog's control.
std::string TextOf(HWND hwnd);
std::string TextOf(HWND dialog, int id);

// A drop handle holding `names` in order, as the shell builds it: in the
// ANSI code page, or `wide` (UTF-16, from names given in UTF-8) as Explorer
// builds it. The receiver owns it (DragFinish frees it).
HDROP MakeDrop(const std::vector<std::string>& names, bool wide = false);
// A shortcut file at `linkPath` to `target`, written with IShellLinkA and
// IPersistFile::Save. False when the shell refuses.
bool MakeShortcut(const std::string& linkPath, const std::string& target);

// COM on this thread while the object lives, as the program's start-up has.
class ComApartment {
public:
    ComApartment() : m_result(CoInitialize(nullptr)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

// Cool Edit 2000's registry entry for one test: the tests that create or
// look for HKLM\SOFTWARE\Syntrillium hold this lock (across processes, as
// CTest runs them side by side) and the key is gone, in both views of the
// registry, before and after.
class CoolEditRegistry {
public:
    // Where the entry is written: the 32-bit view (WOW6432Node), as Cool Edit
    // 2000's 32-bit installer writes it, or the native 64-bit view.
    enum class View { Installer32, Native64 };

    explicit CoolEditRegistry(View view = View::Installer32);
    ~CoolEditRegistry();
    CoolEditRegistry(const CoolEditRegistry&) = delete;
    CoolEditRegistry& operator=(const CoolEditRegistry&) = delete;

    // Creates the keys down to `depth` levels below SOFTWARE: 1 Syntrillium,
    // 2 CE2000, 3 State. False when the registry refuses.
    bool CreateKeys(int depth = 3);
    // Sets "Location" in State (creating the keys) as a string value of
    // exactly these bytes; `terminated` adds the zero after them.
    bool SetLocation(const std::string& location, bool terminated = true);
    // Removes HKLM\SOFTWARE\Syntrillium with everything below it, in both views.
    static void Remove();

private:
    REGSAM m_view;
    HANDLE m_mutex;
};

}  // namespace varnel::test
