#include "safeoutput/TemporaryOutput.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <random>
#include <utility>

#include "safeoutput/Interrupt.h"

namespace varnel::safeoutput {
namespace {

// The system's random device where there is one, rather than the default
// source, whose start asks the processor what it offers (cpuid), which a
// virtual machine answers slowly: 50 us of a run that replaces a small
// OUTPUT.
std::pair<unsigned, unsigned> EntropyWords() {
#ifndef _WIN32
    try {
        std::random_device device("/dev/urandom");
        return {device(), device()};
    } catch (const std::exception&) {  // no /dev/urandom (a bare chroot)
    }
#endif
    std::random_device entropy;
    return {entropy(), entropy()};
}

}  // namespace

std::string TemporaryNameBeside(const std::string& target) {
    const auto slash = target.find_last_of(
#ifdef _WIN32
        "/\\:"
#else
        "/"
#endif
    );
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);

    const auto [first, second] = EntropyWords();
    std::seed_seq seed{first, second,
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
