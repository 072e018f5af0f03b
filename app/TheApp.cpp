// The program's one application object, constructed before the entry
// (framework/WinMain.cpp) runs it. Only the program links this file: tests
// make their own.
#include "app/VarnelApp.h"

varnel::CVarnelApp theApp;
