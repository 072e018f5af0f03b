// The entry of a program built on the framework: the application object is
// a global of the program, constructed before this runs.
#include <windows.h>

#include "framework/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return varnel::framework::RunApplication(); }
