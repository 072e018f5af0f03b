#include "dropedit/DropEdit.h"

#include "dropedit/DropDecision.h"
#include "dropedit/DroppedNames.h"
#include "dropedit/FileKind.h"
#include "dropedit/ShellShortcut.h"

namespace varnel {

CDropEdit::CDropEdit() : m_bAcceptDirectories(FALSE) {}

CDropEdit::~CDropEdit() = default;

void CDropEdit::SetAcceptDirectories(BOOL bAcceptDirectories) { m_bAcceptDirectories = bAcceptDirectories; }

framework::MessageTable CDropEdit::Messages() const {
    using framework::OnMessage;
    static constexpr framework::MessageEntry kTable[] = {
        OnMessage<WM_CREATE, &CDropEdit::OnCreate>(),
        OnMessage<WM_DROPFILES, &CDropEdit::OnDropFiles>(),
    };
    return kTable;
}

int CDropEdit::OnCreate(CREATESTRUCTA*) {
    // The edit control creates itself first; a field whose creation failed
    // is not registered.
    if (Default() == -1) return -1;
    DragAcceptFiles(m_hwnd, TRUE);
    return 0;
}

void CDropEdit::OnDropFiles(HDROP hDropInfo) {
    // The drop is ended (and its handle freed) before the shortcut is read,
    // whatever comes of it; the message does not go on to the edit control.
    const std::string dropped = TakeFirstDroppedName(hDropInfo);
    const DropServices shell{ExpandShortcut, QueryPathKind};
    if (const auto path = PathToShow(dropped, m_bAcceptDirectories != FALSE, shell)) SetText(*path);
}

}  // namespace varnel
