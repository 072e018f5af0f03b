// Every input of the fuzz targets' corpora (fuzz/corpus), among them each
// input that ever made a target fail, replayed through the ordinary build:
// a fault once fixed stays fixed. A target that finds its check broken
// aborts, and the case fails naming the last input it was given.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "fuzz/FuzzTargets.h"
#include "support/TempFolder.h"

namespace varnel {
namespace {

using Target = void (*)(const std::uint8_t*, std::size_t);

// The count of inputs replayed from fuzz/corpus/`name`.
std::size_t Replay(const char* name, Target target) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(VARNEL_FUZZ_CORPUS) / name)) {
        const test::Bytes input = test::ReadBytes(entry.path().string());
        std::cerr << "replaying " << entry.path().string() << std::endl;
        target(input.data(), input.size());
        ++count;
    }
    return count;
}

TEST(FuzzCorpus, WavHeaderReaderHoldsForEveryInput) { EXPECT_GT(Replay("wav-header", &fuzz::FuzzWavHeader), 0u); }

TEST(FuzzCorpus, CommandLineHoldsForEveryInput) { EXPECT_GT(Replay("command-line", &fuzz::FuzzCommandLine), 0u); }

TEST(FuzzCorpus, JsonWriterHoldsForEveryInput) { EXPECT_GT(Replay("json-text", &fuzz::FuzzJsonText), 0u); }

}  // namespace
}  // namespace varnel
