// The functions between in-memory streams: where a fault must be injected,
// and where the order of reads and progress reports is the point.
#include "processing/ProcessFunctions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/ExpectedOutput.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace varnel {
namespace {

using test::Bytes;
using test::PatternBytes;
using test::RecordingObserver;
using test::SampleBytes;

class MemorySource : public ByteSource {
public:
    explicit MemorySource(Bytes bytes, std::size_t failAfterReads = SIZE_MAX)
        : m_bytes(std::move(bytes)), m_failAfterReads(failAfterReads) {}
    std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) override {
        if (reads++ == m_failAfterReads) return std::nullopt;
        return Take(buffer, size);
    }
    // The system's answers to copies, in turn, then NotBySystem. A copy
    // that failed has taken bytes it never delivered, as the system's does.
    Copied CopyTo(ByteSink& sink, std::size_t) override {
        if (copies.empty()) return Copied::NotBySystem();
        const Copied answer = copies.front();
        copies.erase(copies.begin());
        const bool failed =
            answer.outcome == Copied::Outcome::ReadFailed || answer.outcome == Copied::Outcome::WriteFailed;
        Bytes piece(failed ? 700 : answer.bytes);
        piece.resize(Take(piece.data(), piece.size()));
        if (answer.outcome == Copied::Outcome::Moved) sink.Write(piece.data(), piece.size());
        return answer;
    }
    std::size_t reads = 0;
    std::vector<Copied> copies;

private:
    std::size_t Take(std::uint8_t* buffer, std::size_t size) {
        const std::size_t count = std::min(size, m_bytes.size() - m_position);
        std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_position), count, buffer);
        m_position += count;
        return count;
    }

    Bytes m_bytes;
    std::size_t m_position = 0;
    std::size_t m_failAfterReads;
};

class MemorySink : public ByteSink {
public:
    explicit MemorySink(std::size_t failAfterWrites = SIZE_MAX) : m_failAfterWrites(failAfterWrites) {}
    bool Write(const std::uint8_t* data, std::size_t size) override {
        if (writes++ == m_failAfterWrites) return false;
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    Bytes bytes;
    std::size_t writes = 0;

private:
    std::size_t m_failAfterWrites;
};

// A function on the inputs given, in memory: two with a buffer each, more
// taking turns in the first and adding up in the second.
struct Harness {
    explicit Harness(const std::vector<Bytes>& given, std::size_t samples = 1024)
        : buffer1(samples * 2), buffer2(samples * kBytesPerSum), bufferSamples(samples) {
        for (const Bytes& bytes : given) {
            inputs.emplace_back(bytes);
            lengths.push_back(bytes.size());
        }
        settings.pauseAfterChunk = std::chrono::milliseconds(0);
    }
    Harness(Bytes one, Bytes two, std::size_t samples = 1024) : Harness({std::move(one), std::move(two)}, samples) {}
    FunctionResult Run(ProcessFunction function) {
        std::vector<ByteSource*> sources;
        for (MemorySource& input : inputs) sources.push_back(&input);
        return RunFunction(function, {sources, lengths}, output, {buffer1.data(), buffer2.data(), bufferSamples},
                           settings, observer);
    }
    std::size_t Reads() const {
        std::size_t reads = 0;
        for (const MemorySource& input : inputs) reads += input.reads;
        return reads;
    }
    std::vector<MemorySource> inputs;
    std::vector<std::uint64_t> lengths;
    MemorySink output;
    Bytes buffer1, buffer2;
    std::size_t bufferSamples;
    ProcessingSettings settings;
    RecordingObserver observer;
};

TEST(Progress, ShowsTheTrueFractionAndResetsAtTheEnd) {
    for (const auto& [function, expected] :
         std::vector<std::pair<ProcessFunction, std::vector<int>>>{{ProcessFunction::Mono, {50, 100, 0}},
                                                                   {ProcessFunction::Stereo, {50, 100, 0}},
                                                                   {ProcessFunction::Join1To2, {25, 50, 75, 100, 0}},
                                                                   {ProcessFunction::Join2To1, {25, 50, 75, 100, 0}}}) {
        Harness run(PatternBytes(4096), PatternBytes(4096, 7));
        run.Run(function);
        EXPECT_EQ(run.observer.positions, expected) << static_cast<int>(function);
        EXPECT_EQ(run.observer.events.front(), "wait");
        EXPECT_EQ(run.observer.events.back(), "end wait");
    }
}

TEST(Progress, MonoCountsOnlyTheShorterInputsWholeSamples) {
    Harness run(PatternBytes(10000), PatternBytes(3001));
    run.Run(ProcessFunction::Mono);
    EXPECT_EQ(run.observer.positions, (std::vector<int>{68, 100, 0}));
}

TEST(Progress, EmptyInputsShowOnlyTheFinalReset) {
    Harness run(Bytes{}, Bytes{});
    run.Run(ProcessFunction::Join1To2);
    EXPECT_EQ(run.observer.events, (std::vector<std::string>{"wait", "reset", "end wait"}));
}

TEST(PairedFunctions, NeverReadInput2WhenInput1IsEmpty) {
    for (const auto function : {ProcessFunction::Mono, ProcessFunction::Stereo}) {
        Harness run({}, SampleBytes({1, 2}));
        run.Run(function);
        EXPECT_EQ(run.inputs[1].reads, 0u);
        EXPECT_TRUE(run.output.bytes.empty());
    }
}

TEST(PairedFunctions, ReadOneFurtherChunkOfALongerInput1AndDropIt) {
    Harness run(PatternBytes(5000), PatternBytes(100), 1024);
    const FunctionResult result = run.Run(ProcessFunction::Stereo);
    EXPECT_EQ(run.inputs[0].reads, 2u);
    EXPECT_EQ(result.outputBytes, 200u);
}

TEST(NoFunction, TouchesNothing) {
    for (const int value : {-1, 4, 1000}) {
        Harness run(SampleBytes({1}), SampleBytes({2}));
        const FunctionResult result = run.Run(static_cast<ProcessFunction>(value));
        EXPECT_EQ(result.outcome, FunctionOutcome::Completed);
        EXPECT_EQ(run.Reads() + run.output.writes, 0u);
        EXPECT_TRUE(run.observer.events.empty());
    }
}

TEST(ReadFailure, EndsTheFunctionAndIsNotTakenForTheEnd) {
    {
        Harness run(PatternBytes(8192), PatternBytes(8192), 1024);
        run.inputs[0] = MemorySource(PatternBytes(8192), 1);
        const FunctionResult result = run.Run(ProcessFunction::Mono);
        EXPECT_EQ(result.outcome, FunctionOutcome::ReadingInputFailed);
        EXPECT_EQ(result.failedInput, 1);
        EXPECT_EQ(result.outputBytes, 2048u);
    }
    {
        Harness run(PatternBytes(8192), PatternBytes(8192), 1024);
        run.inputs[1] = MemorySource(PatternBytes(8192), 0);
        const FunctionResult result = run.Run(ProcessFunction::Stereo);
        EXPECT_EQ(result.outcome, FunctionOutcome::ReadingInputFailed);
        EXPECT_EQ(result.failedInput, 2);
        EXPECT_TRUE(run.output.bytes.empty());
    }
    {
        // Join 1 --> 2: input 1 is copied whole before input 2 fails.
        Harness run(PatternBytes(3000), PatternBytes(3000), 1024);
        run.inputs[1] = MemorySource(PatternBytes(3000), 1);
        const FunctionResult result = run.Run(ProcessFunction::Join1To2);
        EXPECT_EQ(result.outcome, FunctionOutcome::ReadingInputFailed);
        EXPECT_EQ(result.failedInput, 2);
        EXPECT_EQ(run.output.bytes.size(), 3000u + 2048u);
        EXPECT_EQ(run.observer.events.back(), "end wait");
    }
}

TEST(WriteFailure, EndsTheFunctionWithoutReadingFurther) {
    for (const auto function : {ProcessFunction::Mono, ProcessFunction::Stereo, ProcessFunction::Join2To1}) {
        Harness run(PatternBytes(10000), PatternBytes(10000), 1024);
        run.output = MemorySink(1);
        const FunctionResult result = run.Run(function);
        EXPECT_EQ(result.outcome, FunctionOutcome::WritingOutputFailed);
        EXPECT_EQ(run.output.writes, 2u);
        EXPECT_LE(run.Reads(), 4u);
    }
}

// A join goes on by reads where the system cannot copy, or a copy moved
// nothing (an end that only a read confirms), and ends where a copy failed,
// never reading on past the bytes the copy lost.
TEST(DirectCopy, GoesOnByReadsWhereTheSystemCannotAndEndsWhereItFailed) {
    const Bytes one = PatternBytes(3000, 1), two = PatternBytes(500, 2);
    const Bytes joined = test::Concatenated(one, two);
    const struct {
        std::vector<Copied> answers;
        FunctionOutcome outcome;
        std::size_t outputBytes;
    } cases[] = {
        {{Copied::Moved(1000), Copied::NotBySystem()}, FunctionOutcome::Completed, 3500},
        {{Copied::Moved(1000), Copied::Moved(0)}, FunctionOutcome::Completed, 3500},
        {{Copied::Moved(1000), Copied::WriteFailed()}, FunctionOutcome::WritingOutputFailed, 1000},
        {{Copied::Moved(1000), Copied::ReadFailed()}, FunctionOutcome::ReadingInputFailed, 1000},
    };
    for (const auto& c : cases) {
        Harness run(one, two, 512);
        run.settings.directCopyBytes = 1000;
        run.inputs[0].copies = c.answers;
        const FunctionResult result = run.Run(ProcessFunction::Join1To2);
        EXPECT_EQ(result.outcome, c.outcome) << c.outputBytes;
        EXPECT_EQ(result.outputBytes, c.outputBytes);
        EXPECT_EQ(run.output.bytes, Bytes(joined.begin(), joined.begin() + static_cast<std::ptrdiff_t>(c.outputBytes)));
    }
    // Of many inputs, the one whose copy failed to be read is named.
    for (const Copied failed : {Copied::WriteFailed(), Copied::ReadFailed()}) {
        Harness run({one, two, one}, 512);
        run.settings.directCopyBytes = 1000;
        run.inputs[1].copies = {failed};
        const FunctionResult result = run.Run(ProcessFunction::Join1To2);
        const bool write = failed == Copied::WriteFailed();
        EXPECT_EQ(result.outcome,
                  write ? FunctionOutcome::WritingOutputFailed : FunctionOutcome::ReadingInputFailed);
        EXPECT_EQ(result.failedInput, write ? 0 : 2);
        EXPECT_EQ(run.output.bytes, one);
    }
}

// Two inputs mix in their own buffers, more through sums: silence added as
// a third input changes neither the samples nor the count of clipped ones.
TEST(Mono, OfTwoInputsAgreesWithTheSameTwoBesideSilence) {
    const Bytes loud = SampleBytes({30000, -30000, 20000, 1, 7}), other = SampleBytes({30000, -30000, -20000, 2});
    for (const bool pad : {false, true}) {
        for (const bool average : {false, true}) {
            Harness two(loud, other, 2), three({loud, other, Bytes(loud.size())}, 2);
            for (Harness* run : {&two, &three}) {
                run->settings.padShorterInput = pad;
                run->settings.averageMono = average;
            }
            const FunctionResult ofTwo = two.Run(ProcessFunction::Mono);
            const FunctionResult ofThree = three.Run(ProcessFunction::Mono);
            EXPECT_EQ(ofTwo.clippedSamples, average ? 0u : 2u);
            EXPECT_EQ(ofTwo.clippedSamples, ofThree.clippedSamples);
            if (!average) {
                EXPECT_EQ(two.output.bytes, three.output.bytes) << pad;
            }
            EXPECT_EQ(two.output.bytes.size(), pad ? 10u : 8u);
        }
    }
}

// Join 2 --> 1 is the join of the same two taken in the other order.
TEST(Join, TwoToOneIsOneToTwoOfTheInputsSwapped) {
    const Bytes one = PatternBytes(3001, 1), two = PatternBytes(700, 2);
    Harness forward(two, one, 256), backward(one, two, 256);
    forward.Run(ProcessFunction::Join1To2);
    backward.Run(ProcessFunction::Join2To1);
    EXPECT_EQ(backward.output.bytes, test::Concatenated(two, one));
    EXPECT_EQ(backward.output.bytes, forward.output.bytes);
    EXPECT_EQ(backward.observer.positions, forward.observer.positions);
}

TEST(OutputBytes, AreWhatTheFunctionsWrite) {
    const std::vector<std::uint64_t> lengths = {7, 10, 4};
    const std::vector<std::uint64_t> two = {7, 10};
    EXPECT_EQ(OutputBytesFor(ProcessFunction::Mono, lengths, false), 4u);
    EXPECT_EQ(OutputBytesFor(ProcessFunction::Mono, lengths, true), 10u);
    EXPECT_EQ(OutputBytesFor(ProcessFunction::Stereo, two, false), 12u);
    EXPECT_EQ(OutputBytesFor(ProcessFunction::Stereo, lengths, false), 0u);
    EXPECT_EQ(OutputBytesFor(ProcessFunction::Join2To1, two, false), 17u);
    EXPECT_EQ(OutputBytesFor(ProcessFunction::Join1To2, lengths, false), 21u);
}

TEST(StereoBuffer, RefusedSkipsTheFunction) {
    Harness run(PatternBytes(100), PatternBytes(100));
    run.settings.allocate = [](std::size_t) -> void* { return nullptr; };
    const FunctionResult result = run.Run(ProcessFunction::Stereo);
    EXPECT_EQ(result.outcome, FunctionOutcome::StereoBufferRefused);
    EXPECT_EQ(run.inputs[0].reads, 0u);
    EXPECT_EQ(run.observer.events, (std::vector<std::string>{"wait", "reset", "end wait"}));
}

TEST(ProgressPercent, StaysInRangeForAnySize) {
    EXPECT_EQ(ProgressPercent(0, 0), 0);
    EXPECT_EQ(ProgressPercent(5, 0), 0);
    EXPECT_EQ(ProgressPercent(1, 3), 33);
    EXPECT_EQ(ProgressPercent(7, 5), 100);
    const std::uint64_t huge = std::uint64_t{1} << 62;  // far beyond 32 bits
    EXPECT_EQ(ProgressPercent(huge / 2, huge), 50);
    EXPECT_EQ(ProgressPercent(huge - 1, huge), 99);
    EXPECT_EQ(ProgressPercent(std::uint64_t{6} << 30, std::uint64_t{8} << 30), 75);
}

}  // namespace
}  // namespace varnel
