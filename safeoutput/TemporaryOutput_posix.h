// What a TemporaryOutput holds on POSIX.
#pragma once

namespace varnel::safeoutput {

struct SystemTemporary {
    int unnamed = -1;  // the unnamed file, kept open to name it later; -1 when none
};

}  // namespace varnel::safeoutput
