#include "safeoutput/TemporaryOutput.h"

#include <chrono>
#include <cstdio>
#include <random>

#include "safeoutput/Interrupt.h"

namespace varnel::safeoutput {

std::string TemporaryNameBeside(const std::string& target) {
    const auto slash = target.find_last_of(
#ifdef _WIN32
        "/\\:"
#else
        "/"
#endif
    );
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);

    std::random_device entropy;
    std::seed_seq seed{entropy(), entropy(),
                       static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())};
    std::mt19937_64 random(seed);
    char tag[17];
    std::snprintf(tag, sizeof tag, "%016llx", static_cast<unsigned long long>(random()));
    return folder + "." + tag + ".varnel-tmp";
}

bool TemporaryOutput::CreateNamed(const std::string& target, File& output, FileFailure& failure) {
    m_path = TemporaryNameBeside(target);
    RemoveOnInterrupt(m_path);
    if (output.Open(m_path, File::Mode::CreateNew, failure)) return true;
    RemoveOnInterrupt({});
    m_path.clear();
    return false;
}

}  // namespace varnel::safeoutput
