#include "Controls.h"

#include <commctrl.h>

namespace varnel::framework {

void ProgressBar::SetPos(int position) { Send(PBM_SETPOS, static_cast<WPARAM>(position)); }

}  // namespace varnel::framework
