#include "Controls.h"

#include <commctrl.h>

namespace varnel::framework {

void Button::SetCheck(int state) { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }

int Button::GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }

void ProgressBar::SetRange(int lower, int upper) {
    Send(PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

int ProgressBar::SetPos(int position) { return static_cast<int>(Send(PBM_SETPOS, static_cast<WPARAM>(position))); }

int ProgressBar::GetPos() const { return static_cast<int>(Send(PBM_GETPOS)); }

}  // namespace varnel::framework
