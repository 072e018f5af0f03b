// varnel-cli: two sound files into a third, from a shell or a script.
#include <cstdio>
#include <iostream>

#include "cli/CliApp.h"
#include "cli/Console.h"
#include "cli/SafeStart.h"
#include "safeoutput/Interrupt.h"

int main(int argc, char* argv[]) {
    varnel::cli::LoadSystemLibrariesOnly();
    varnel::safeoutput::InstallInterruptCleanup();
    varnel::cli::ShowUtf8OnConsole(std::cout, stdout);
    varnel::cli::ShowUtf8OnConsole(std::cerr, stderr);
    return varnel::cli::RunCli(argc, argv, std::cout, std::cerr, varnel::cli::IsTerminal(stderr));
}
