// libFuzzer's entry for one target, named at compile time by
// VARNEL_FUZZ_TARGET.
#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    varnel::fuzz::VARNEL_FUZZ_TARGET(data, size);
    return 0;
}
