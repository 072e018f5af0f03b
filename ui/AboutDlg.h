// The About box: the icon, the program's name and version, two notice
// lines and "OK" (dialog 100). Every way of closing it does the same:
// nothing.
#pragma once

#include "framework/Dialog.h"

namespace varnel {

class CAboutDlg : public framework::Dialog {
public:
    CAboutDlg();
};

}  // namespace varnel
