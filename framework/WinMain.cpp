// The entry of a program built on the framework: the application object is
// a global of the program, constructed before this runs.
#include <windows.h>

#include "framework/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything can load a DLL: every later load by name (the system's
    // own on the program's behalf included) looks in System32 only, never in
    // the program's folder or the current one, where a planted DLL may lie.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return varnel::framework::RunApplication();
}
