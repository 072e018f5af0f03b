#include "UnexpectedError.h"

#include <exception>
#include <new>
#include <string>

#include "MessageBox.h"

namespace varnel::framework {

void ReportUnexpectedError() {
    std::string cause;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        cause = "There is not enough memory.";
    } catch (const std::exception& error) {
        cause = error.what();
    } catch (...) {
        cause = "The cause is unknown.";
    }
    AppMessageBox("An unexpected error stopped the last action.\n" + cause, MB_OK | MB_ICONERROR);
}

}  // namespace varnel::framework
