// The options of the command line, each declared once: CLI11 is given them
// from this table, the words are read before CLI11 by it, and the help
// lists them from it, in its order.
#pragma once

#include <span>
#include <string>

namespace varnel::cli {

// What the options' words set, as CLI11 fills it in.
struct OptionWords {
    bool quiet = false;
    bool progress = false;
    bool json = false;
    bool pad = false;
    bool average = false;
    bool raw = false;
    std::string inputsFrom;
    std::string rate;  // read by the program's own rules (ReadRate) before CLI11 sees it
    std::string outputType;
};

struct Option {
    enum class Role { Setting, Help, Version };
    const char* names;      // as CLI11 takes them: "-r,--rate"
    const char* valueName;  // "HZ"; nullptr for a flag. "wav|raw" lists the only values taken
    const char* help;       // the help's line; nullptr for an option it names elsewhere
    // The help's left column where the names and value say too much.
    const char* shownAs = nullptr;
    bool OptionWords::*flag = nullptr;
    std::string OptionWords::*value = nullptr;
    const char* excludes = nullptr;  // one name of the option it cannot be given with, declared before it
    Role role = Role::Setting;

    bool TakesValue() const { return valueName != nullptr; }
    // Whether `word` ("-q", "--quiet") is one of its names.
    bool IsNamed(const std::string& word) const;
};

std::span<const Option> Options();

// The option one of whose names `word` is, or nullptr.
const Option* OptionNamed(const std::string& word);

// The help, fitting one screen of a console (24 lines of 80 columns).
const std::string& HelpText();

}  // namespace varnel::cli
