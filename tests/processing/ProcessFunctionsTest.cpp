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

struct Harness {
    explicit Harness(Bytes one, Bytes two, std::size_t samples = 1024)
        : lengths{one.size(), two.size()},
          input1(std::move(one)),
          input2(std::move(two)),
          buffer1(samples * 2),
          buffer2(samples * 2),
          bufferSamples(samples) {
        settings.pauseAfterChunk = std::chrono::milliseconds(0);
    }
    FunctionResult Run(ProcessFunction function) {
        return RunFunction(function, {input1, input2, output}, {buffer1.data(), buffer2.data(), bufferSamples}, lengths,
                           settings, observer);
    }
    InputLengths lengths;
    MemorySource input1, input2;
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
    Harness run({}, {});
    run.Run(ProcessFunction::Join1To2);
    EXPECT_EQ(run.observer.events, (std::vector<std::string>{"wait", "reset", "end wait"}));
}

TEST(PairedFunctions, NeverReadInput2WhenInput1IsEmpty) {
    for (const auto function : {ProcessFunction::Mono, ProcessFunction::Stereo}) {
        Harness run({}, SampleBytes({1, 2}));
        run.Run(function);
        EXPECT_EQ(run.input2.reads, 0u);
        EXPECT_TRUE(run.output.bytes.empty());
    }
}

TEST(PairedFunctions, ReadOneFurtherChunkOfALongerInput1AndDropIt) {
    Harness run(PatternBytes(5000), PatternBytes(100), 1024);
    const FunctionResult result = run.Run(ProcessFunction::Stereo);
    EXPECT_EQ(run.input1.reads, 2u);
    EXPECT_EQ(result.outputBytes, 200u);
}

TEST(NoFunction, TouchesNothing) {
    for (const int value : {-1, 4, 1000}) {
        Harness run(SampleBytes({1}), SampleBytes({2}));
        const FunctionResult result = run.Run(static_cast<ProcessFunction>(value));
        EXPECT_EQ(result.outcome, FunctionOutcome::Completed);
        EXPECT_EQ(run.input1.reads + run.input2.reads + run.output.writes, 0u);
        EXPECT_TRUE(run.observer.events.empty());
    }
}

TEST(ReadFailure, EndsTheFunctionAndIsNotTakenForTheEnd) {
    {
        Harness run(PatternBytes(8192), PatternBytes(8192), 1024);
        run.input1 = MemorySource(PatternBytes(8192), 1);
        const FunctionResult result = run.Run(ProcessFunction::Mono);
        EXPECT_EQ(result.outcome, FunctionOutcome::ReadingInput1Failed);
        EXPECT_EQ(result.outputBytes, 2048u);
    }
    {
        Harness run(PatternBytes(8192), PatternBytes(8192), 1024);
        run.input2 = MemorySource(PatternBytes(8192), 0);
        EXPECT_EQ(run.Run(ProcessFunction::Stereo).outcome, FunctionOutcome::ReadingInput2Failed);
        EXPECT_TRUE(run.output.bytes.empty());
    }
    {
        // Join 1 --> 2: input 1 is copied whole before input 2 fails.
        Harness run(PatternBytes(3000), PatternBytes(3000), 1024);
        run.input2 = MemorySource(PatternBytes(3000), 1);
        const FunctionResult result = run.Run(ProcessFunction::Join1To2);
        EXPECT_EQ(result.outcome, FunctionOutcome::ReadingInput2Failed);
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
        EXPECT_LE(run.input1.reads + run.input2.reads, 4u);
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
        {{Copied::Moved(1000), Copied::ReadFailed()}, FunctionOutcome::ReadingInput1Failed, 1000},
    };
    for (const auto& c : cases) {
        Harness run(one, two, 512);
        run.settings.directCopyBytes = 1000;
        run.input1.copies = c.answers;
        const FunctionResult result = run.Run(ProcessFunction::Join1To2);
        EXPECT_EQ(result.outcome, c.outcome) << c.outputBytes;
        EXPECT_EQ(result.outputBytes, c.outputBytes);
        EXPECT_EQ(run.output.bytes, Bytes(joined.begin(), joined.begin() + static_cast<std::ptrdiff_t>(c.outputBytes)));
    }
    // Of many inputs, the one whose copy failed to be read is named.
    for (const Copied failed : {Copied::WriteFailed(), Copied::ReadFailed()}) {
        MemorySource first(one), second(two), third(one);
        second.copies = {failed};
        ByteSource* const sources[] = {&first, &second, &third};
        const std::uint64_t lengths[] = {3000, 500, 3000};
        MemorySink output;
        Bytes buffer(1024);
        ProcessingSettings settings;
        settings.directCopyBytes = 1000;
        RecordingObserver observer;
        const FunctionResult result = RunFunctionOnMany(ProcessFunction::Join1To2, {sources, lengths}, output,
                                                        {buffer.data(), nullptr, 512}, settings, observer);
        const bool write = failed == Copied::WriteFailed();
        EXPECT_EQ(result.outcome,
                  write ? FunctionOutcome::WritingOutputFailed : FunctionOutcome::ReadingInputFailed);
        EXPECT_EQ(result.failedInput, write ? 0 : 2);
        EXPECT_EQ(output.bytes, one);
    }
}

TEST(StereoBuffer, RefusedSkipsTheFunction) {
    Harness run(PatternBytes(100), PatternBytes(100));
    run.settings.allocate = [](std::size_t) -> void* { return nullptr; };
    const FunctionResult result = run.Run(ProcessFunction::Stereo);
    EXPECT_EQ(result.outcome, FunctionOutcome::StereoBufferRefused);
    EXPECT_EQ(run.input1.reads, 0u);
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
