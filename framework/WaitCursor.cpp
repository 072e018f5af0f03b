#include "WaitCursor.h"

namespace varnel::framework {

WaitCursor::WaitCursor() : m_previous(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}

WaitCursor::~WaitCursor() { SetCursor(m_previous); }

}  // namespace varnel::framework
