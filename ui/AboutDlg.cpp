#include "ui/AboutDlg.h"

#include "resources/resource.h"

namespace varnel {

// No parent given: the dialog base makes the box modal to the window in
// front (the main window).
CAboutDlg::CAboutDlg() : framework::Dialog(IDD_ABOUTBOX, nullptr) {}

}  // namespace varnel
