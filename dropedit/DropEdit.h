// CDropEdit: a single-line path field that takes a file dropped from the
// shell. It shows the first dropped name, followed to its target when it is
// a shell shortcut, but only when that path names an existing object of the
// kind the field takes: regular files (the default) or directories. A drop
// that does not qualify leaves the field exactly as it was, silently. Apart
// from drops it is an ordinary edit control.
//
// Drops arrive only at windows registered as drop targets: controls made
// with WS_EX_ACCEPTFILES (as the main dialog's path fields are), or a field
// whose object is attached before the window's WM_CREATE, which registers in
// OnCreate. The main dialog attaches its fields to existing controls, whose
// WM_CREATE has passed: for them the template's style is what counts. A field
// attached to an existing control without that style never gets a drop.
//
// Shortcuts are read through the shell's COM objects: COM must be
// initialised on the window's thread.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/Control.h"

namespace varnel {

class CDropEdit : public framework::Edit {
public:
    CDropEdit();
    ~CDropEdit() override;

    // FALSE: the field takes regular files only; TRUE: directories only.
    void SetAcceptDirectories(BOOL bAcceptDirectories);

protected:
    framework::MessageTable Messages() const override;

private:
    int OnCreate(CREATESTRUCTA* create);
    void OnDropFiles(HDROP hDropInfo);

    BOOL m_bAcceptDirectories;
};

}  // namespace varnel
