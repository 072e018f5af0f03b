// The inputs a file lists for --inputs-from: UTF-8, one name a line, blank
// lines skipped, "-" for standard input; a list too long for any command
// line (32,767 characters on Windows) is read the same way.
#pragma once

#include <istream>
#include <string>

#include "cli/CommandLine.h"

namespace varnel::cli {

// Adds the inputs `list` holds to `options`, each listed at "NAME line N"
// (`listName` as given). Returns "" or what is wrong, in words naming it.
std::string AddListedInputs(std::istream& list, const std::string& listName, CliOptions& options);

// Reads options.inputsFrom ("-": `standardInput`) into options' inputs.
std::string ReadInputList(CliOptions& options, std::istream& standardInput);

}  // namespace varnel::cli
