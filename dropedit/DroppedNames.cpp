#include "dropedit/DroppedNames.h"

#include "base/Owned.h"

namespace varnel {

namespace {

constexpr UINT kCountQuery = 0xFFFFFFFF;  // DragQueryFileA's "how many names"

}  // namespace

std::string TakeFirstDroppedName(HDROP drop) {
    // Ended when this returns, so that the handle is freed even if reading
    // the names fails half-way.
    const base::DropHandle end(drop);
    // Count and lengths stay in the API's own 32-bit type: a count of 65536
    // names cut to 16 bits would read none, and a length cut short would read
    // a shortened name, which could name a different object.
    const UINT count = DragQueryFileA(drop, kCountQuery, nullptr, 0);
    std::string first;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        const base::LocalMemory block(LocalAlloc(LPTR, length + 1));
        if (!block.Holds()) continue;  // no memory for this name: try the next
        char* const name = static_cast<char*>(block.Get());
        DragQueryFileA(drop, i, name, length + 1);
        if (first.empty()) first = name;
    }
    return first;
}

}  // namespace varnel
