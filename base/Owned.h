// A handle of the system (kernel object, registry key, drop, local memory,
// COM interface) given back by its kind's function when the object ends.
// Both "no handle" values, null and INVALID_HANDLE_VALUE, mean none is held.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <type_traits>

namespace varnel::base {

template <class Handle, auto Release>
class Owned {
    static_assert(std::is_pointer_v<Handle>, "the system's handles are pointers");

public:
    Owned() = default;
    explicit Owned(Handle handle) : m_handle(handle) {}
    ~Owned() {
        if (Holds()) Release(m_handle);
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    bool Holds() const { return m_handle != nullptr && reinterpret_cast<HANDLE>(m_handle) != INVALID_HANDLE_VALUE; }
    Handle Get() const { return m_handle; }
    Handle operator->() const { return m_handle; }
    // Where a function that opens or creates one puts it. One still held
    // is given back first, so that it is never lost.
    Handle* Receive() {
        if (Holds()) Release(m_handle);
        m_handle = Handle{};
        return &m_handle;
    }

private:
    Handle m_handle{};
};

using KernelHandle = Owned<HANDLE, &CloseHandle>;
using RegistryKey = Owned<HKEY, &RegCloseKey>;
using LocalMemory = Owned<HLOCAL, &LocalFree>;
// Ending a drop (DragFinish) frees its handle.
using DropHandle = Owned<HDROP, &DragFinish>;
template <class Interface>
using ComInterface = Owned<Interface*, [](Interface* p) { p->Release(); }>;

}  // namespace varnel::base
