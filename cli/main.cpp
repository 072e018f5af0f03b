// varnel-cli: two sound files into a third, from a shell or a script.
#include <cstdio>
#include <iostream>
#include <new>

#include "cli/CliApp.h"
#include "cli/Console.h"
#include "cli/SafeStart.h"
#include "safeoutput/Interrupt.h"

int main(int argc, char* argv[]) {
    varnel::cli::LoadSystemLibrariesOnly();
    varnel::safeoutput::InstallInterruptCleanup();
    varnel::cli::ShowUtf8OnConsole(std::cout, stdout);
    varnel::cli::ShowUtf8OnConsole(std::cerr, stderr);
    try {
        return varnel::cli::RunCli(argc, argv, std::cout, std::cerr, varnel::cli::IsTerminal(stderr));
    } catch (const std::bad_alloc&) {
        // The run's buffers are refused where the run says which; this is
        // for the small allocations around them, with the files already
        // left as they were by the unwinding. A literal, as no string can
        // be built now.
        std::fputs("varnel-cli: not enough memory to go on\n", stderr);
        return 1;
    }
}
