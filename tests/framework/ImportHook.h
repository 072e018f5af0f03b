// Puts a function of the test's own in place of one this program imports
// from a system DLL, for the life of the object. For calls whose effect the
// system under Wine does not show (the timer resolution): the program's own
// code runs unchanged and the test sees every call it makes.
#pragma once

#include <string>

namespace varnel::test {

class ImportHook {
public:
    // `dll` as the import names it (case does not matter), e.g. "winmm.dll".
    ImportHook(const std::string& dll, const std::string& function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    // False when this program does not import the function.
    bool Installed() const { return m_slot != nullptr; }
    // The system's function, for the replacement to call on.
    void* Original() const { return m_original; }

private:
    void** m_slot = nullptr;
    void* m_original = nullptr;
};

}  // namespace varnel::test
