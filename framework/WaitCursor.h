// The hourglass for the life of the object; the previous cursor returns
// when it ends.
#pragma once

#include <windows.h>

namespace varnel::framework {

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

}  // namespace varnel::framework
