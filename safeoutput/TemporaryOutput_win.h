// What a TemporaryOutput holds on Windows.
#pragma once

namespace varnel::safeoutput {

struct SystemTemporary {
    void* deleteHandle = nullptr;  // holds the deletion mark; null when none
};

}  // namespace varnel::safeoutput
