// Reading the names of a shell drop (WM_DROPFILES).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace varnel {

// Reads every name of the drop, in order, keeps the first one that could be
// read, and ends the drop (DragFinish, which frees the handle) exactly once.
// "" when no name could be read.
std::string TakeFirstDroppedName(HDROP drop);

}  // namespace varnel
