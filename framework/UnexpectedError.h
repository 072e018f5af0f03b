// What the user is told when a handler failed in a way the program did not
// foresee (an exception caught at the edge of a Win32 callback): a box with
// the program's caption, instead of a window that vanishes without a word.
#pragma once

namespace varnel::framework {

// Call from inside a catch block: names what was caught when it can.
void ReportUnexpectedError();

}  // namespace varnel::framework
