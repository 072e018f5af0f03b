#include "DroppedNames.h"

namespace varnel {

namespace {

// One zero-filled block of the local heap, freed when it goes.
class LocalBlock {
public:
    explicit LocalBlock(UINT size) : m_p(static_cast<char*>(LocalAlloc(LPTR, size))) {}
    ~LocalBlock() {
        if (m_p) LocalFree(m_p);
    }
    LocalBlock(const LocalBlock&) = delete;
    LocalBlock& operator=(const LocalBlock&) = delete;

    char* Get() const { return m_p; }

private:
    char* m_p;
};

// Ends the drop when it goes, so that the handle is freed even if reading
// the names fails half-way.
class DropEnd {
public:
    explicit DropEnd(HDROP drop) : m_drop(drop) {}
    ~DropEnd() { DragFinish(m_drop); }
    DropEnd(const DropEnd&) = delete;
    DropEnd& operator=(const DropEnd&) = delete;

private:
    HDROP m_drop;
};

constexpr UINT kCountQuery = 0xFFFFFFFF;  // DragQueryFileA's "how many names"

}  // namespace

std::string TakeFirstDroppedName(HDROP drop) {
    const DropEnd end(drop);
    // Count and lengths stay in the API's own 32-bit type: a count of 65536
    // names cut to 16 bits would read none, and a length cut short would read
    // a shortened name, which could name a different object.
    const UINT count = DragQueryFileA(drop, kCountQuery, nullptr, 0);
    std::string first;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        LocalBlock block(length + 1);
        if (!block.Get()) continue;  // no memory for this name: try the next
        DragQueryFileA(drop, i, block.Get(), length + 1);
        if (first.empty()) first = block.Get();
    }
    return first;
}

}  // namespace varnel
