// Whole runs on real files on disk.
#include "processing/ProcessingRun.h"
#include "processing/SoundFileFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <utility>
#include <variant>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <thread>
#endif

#include "support/ExpectedOutput.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"
#include "support/WavBytes.h"

namespace varnel {
namespace {

using test::Bytes;
using test::Concatenated;
using test::ExpectedMono;
using test::ExpectedStereo;
using test::PatternBytes;
using test::ReadBytes;
using test::RecordingObserver;
using test::SampleBytes;
using test::TempFolder;
using Messages = std::vector<std::string>;

#ifndef _WIN32
// 0 when there is no such path.
dev_t DeviceOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_dev : 0;
}
#endif

class RunTest : public ::testing::Test {
protected:
    RunTest() { settings.pauseAfterChunk = std::chrono::milliseconds(0); }

    RunResult Run(const Bytes& one, const Bytes& two, ProcessFunction function) {
        return RunPaths(folder.Write("one.pcm", one), folder.Write("two.o22", two), folder / "out.pcm", function);
    }
    RunResult RunPaths(const std::string& one, const std::string& two, const std::string& out,
                       ProcessFunction function = ProcessFunction::Mono) {
        FilesInPlace files({one, two}, out);
        return RunProcessing(function, files, settings, observer);
    }
    Bytes Output() const { return ReadBytes(folder / "out.pcm"); }
    std::ptrdiff_t ProgressSteps() const {
        return std::count_if(observer.events.begin(), observer.events.end(),
                             [](const std::string& event) { return event.starts_with("progress "); });
    }
    bool OutputExists() const { return std::filesystem::exists(folder.Path() / "out.pcm"); }

    TempFolder folder;
    ProcessingSettings settings;
    RecordingObserver observer;
};

TEST_F(RunTest, MonoSumsWithClipping) {
    const RunResult result =
        Run(SampleBytes({30000, -30000, 100, 32767}), SampleBytes({10000, -10000, -50, 0}), ProcessFunction::Mono);
    EXPECT_EQ(Output(), SampleBytes({32767, -32768, 50, 32767}));
    EXPECT_TRUE(result.succeeded);
    EXPECT_EQ(result.clippedSamples, 2u);
    EXPECT_TRUE(observer.messages.empty());
}

TEST_F(RunTest, StereoInterleavesInput1LeftAndInput2Right) {
    Run(SampleBytes({1, 2}), SampleBytes({3, 4}), ProcessFunction::Stereo);
    EXPECT_EQ(Output(), SampleBytes({1, 3, 2, 4}));
}

TEST_F(RunTest, JoinsCopyEveryByteInTheChosenOrder) {
    const Bytes three{1, 2, 3}, five{4, 5, 6, 7, 8};
    Run(three, five, ProcessFunction::Join1To2);
    EXPECT_EQ(Output(), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
    Run(three, five, ProcessFunction::Join2To1);
    EXPECT_EQ(Output(), (Bytes{4, 5, 6, 7, 8, 1, 2, 3}));
}

TEST_F(RunTest, MonoAndStereoStopAtTheShorterInputsLastWholeSample) {
    for (const auto& [one, two] : std::vector<std::pair<Bytes, Bytes>>{{PatternBytes(5), PatternBytes(8, 3)},
                                                                       {PatternBytes(9, 1), PatternBytes(7)},
                                                                       {PatternBytes(4100), PatternBytes(130001)},
                                                                       {PatternBytes(300001), PatternBytes(4001)}}) {
        Run(one, two, ProcessFunction::Mono);
        EXPECT_EQ(Output(), ExpectedMono(one, two)) << one.size() << " + " << two.size();
        Run(one, two, ProcessFunction::Stereo);
        EXPECT_EQ(Output(), ExpectedStereo(one, two)) << one.size() << " + " << two.size();
    }
}

TEST_F(RunTest, MultiChunkInputsComeOutWhole) {
    // Sizes around both chunk sizes and the threshold between them.
    for (const std::size_t size : {2047u, 2048u, 2049u, 3999u, 4000u, 4001u, 128000u, 128001u, 200003u}) {
        const Bytes one = PatternBytes(size, 11), two = PatternBytes(size + 6, 200);
        Run(one, two, ProcessFunction::Join1To2);
        EXPECT_EQ(Output(), Concatenated(one, two)) << size;
        Run(one, two, ProcessFunction::Join2To1);
        EXPECT_EQ(Output(), Concatenated(two, one)) << size;
        Run(one, two, ProcessFunction::Mono);
        EXPECT_EQ(Output(), ExpectedMono(one, two)) << size;
        Run(one, two, ProcessFunction::Stereo);
        EXPECT_EQ(Output(), ExpectedStereo(one, two)) << size;
    }
}

TEST_F(RunTest, EmptyInputsGiveAnEmptyOutput) {
    for (const auto function :
         {ProcessFunction::Mono, ProcessFunction::Stereo, ProcessFunction::Join1To2, ProcessFunction::Join2To1}) {
        const RunResult result = Run({}, {}, function);
        EXPECT_TRUE(result.succeeded);
        EXPECT_TRUE(Output().empty());
    }
    Run({}, SampleBytes({5, 6}), ProcessFunction::Mono);
    EXPECT_TRUE(Output().empty());
}

TEST_F(RunTest, NoFunctionCreatesAnEmptyOutputAndShowsNothing) {
    folder.Write("out.pcm", {1, 2, 3});
    const RunResult result = Run(SampleBytes({1}), SampleBytes({2}), ProcessFunction::None);
    EXPECT_TRUE(result.succeeded);
    EXPECT_TRUE(OutputExists());
    EXPECT_TRUE(Output().empty());
    EXPECT_TRUE(observer.events.empty());
}

// Each chunk is one step of the progress bar and, in the window, one pause:
// 1024 samples (2048 bytes) while both inputs, rounded up to even, are at
// most 128000 bytes long; 2000 samples (4000 bytes) when either is longer.
TEST_F(RunTest, ChunksGrowOnlyWhenAnInputIsLongerThanTheThreshold) {
    struct Case {
        std::size_t size1, size2;
        ProcessFunction function;
        std::size_t steps;
    };
    for (const Case& run :
         {Case{128000, 128000, ProcessFunction::Mono, 63},  // 62.5 small chunks
          Case{128002, 128002, ProcessFunction::Mono, 33},  // 32.0005 large chunks
          Case{127999, 5, ProcessFunction::Join1To2, 63 + 1}, Case{128001, 5, ProcessFunction::Join1To2, 33 + 1},
          Case{5, 128001, ProcessFunction::Join2To1, 33 + 1}}) {
        observer.events.clear();
        const Bytes one = PatternBytes(run.size1), two = PatternBytes(run.size2, 7);
        Run(one, two, run.function);
        const auto steps = std::count_if(observer.events.begin(), observer.events.end(),
                                         [](const std::string& event) { return event.starts_with("progress "); });
        EXPECT_EQ(static_cast<std::size_t>(steps), run.steps) << run.size1 << " + " << run.size2;
        EXPECT_EQ(Output(), run.function == ProcessFunction::Mono       ? ExpectedMono(one, two)
                            : run.function == ProcessFunction::Join1To2 ? Concatenated(one, two)
                                                                        : Concatenated(two, one));
    }
}

// Joins between files on disk are copied by the system, a progress step per
// piece, across file systems too (Linux's /dev/shm); where it cannot
// (Windows, a pipe) the buffers take over, chunk by chunk, with the same
// bytes.
TEST_F(RunTest, JoinsCopiedFileToFileMovePieceByPieceAndFallBackToChunks) {
    settings.directCopyBytes = 65536;
    const Bytes one = PatternBytes(200000), two = PatternBytes(5, 3);
    const auto JoinSteps = [&](const std::string& first) {
        observer.events.clear();
        const RunResult result =
            RunPaths(first, folder.Write("two.o22", two), folder / "out.pcm", ProcessFunction::Join1To2);
        EXPECT_TRUE(result.succeeded);
        EXPECT_EQ(result.inputs.at(0).bytes, one.size());
        EXPECT_EQ(Output(), Concatenated(one, two));
        return ProgressSteps();
    };
    // 200000 bytes in 64 KiB or in 4000 bytes, then 5.
    [[maybe_unused]] constexpr std::ptrdiff_t kPieces = 4 + 1;
    constexpr std::ptrdiff_t kChunks = 50 + 1;
#ifdef _WIN32
    EXPECT_EQ(JoinSteps(folder.Write("one.pcm", one)), kChunks);
#else
    EXPECT_EQ(JoinSteps(folder.Write("one.pcm", one)), kPieces);

    const std::string pipe = folder / "out.fifo";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    Bytes received;
    std::thread reader([&] { received = ReadBytes(pipe); });
    observer.events.clear();
    EXPECT_TRUE(RunPaths(folder / "one.pcm", folder / "two.o22", pipe, ProcessFunction::Join1To2).succeeded);
    reader.join();
    EXPECT_EQ(received, Concatenated(one, two));
    EXPECT_EQ(ProgressSteps(), kChunks);

    const std::string elsewhere = "/dev/shm/varnel-test-" + std::to_string(::getpid()) + ".pcm";
    if (DeviceOf("/dev/shm") == DeviceOf(folder.Path().string())) GTEST_SKIP() << "no /dev/shm of its own";
    std::ofstream(elsewhere, std::ios::binary)
        .write(reinterpret_cast<const char*>(one.data()), static_cast<std::streamsize>(one.size()));
    EXPECT_EQ(JoinSteps(elsewhere), kPieces);
    std::filesystem::remove(elsewhere);
#endif
}

// A WAV input's header is no part of its length: its samples alone size the
// chunks and make the progress total, as a raw file's bytes do.
TEST_F(RunTest, AWavInputsChunksAndProgressCountItsSamplesOnly) {
    const Bytes samples = PatternBytes(128000, 5);
    const std::string wav = folder.Write("one.wav", test::WavBytes(samples, {.listChunkFirst = true}));
    const std::string raw = folder.Write("two.pcm", PatternBytes(128000, 9));
    FilesInPlace files({wav, raw}, folder / "out.pcm");
    SoundFileFormats formats({ProcessFunction::Mono});
    const RunResult result = RunProcessing(ProcessFunction::Mono, files, formats, settings, observer);
    EXPECT_TRUE(result.succeeded);
    EXPECT_EQ(result.bufferSamples, 1024u);
    std::vector<std::string> steps;
    std::copy_if(observer.events.begin(), observer.events.end(), std::back_inserter(steps),
                 [](const std::string& event) { return event.starts_with("progress "); });
    ASSERT_EQ(steps.size(), 63u);  // 62.5 chunks of 1024 samples
    EXPECT_EQ(steps[61], "progress 99");
    EXPECT_EQ(steps.back(), "progress 100");
    EXPECT_EQ(Output(), ExpectedMono(samples, ReadBytes(raw)));
}

// Buffers start where their files' bytes stand within a page, or 64 bytes
// on: here a raw input at 0, a WAV input's samples at 58 and a WAV output's
// at 44. Every function still reads and writes every sample in place, over
// several chunks (the sanitizers watch the buffers' ends).
TEST_F(RunTest, BuffersPlacedOffAPageBoundaryKeepEverySample) {
    const Bytes raw = PatternBytes(10002, 3), samples = PatternBytes(9000, 5);
    const std::string one = folder.Write("one.pcm", raw);
    const std::string two = folder.Write("two.wav", test::WavBytes(samples, {.listChunkFirst = true}));
    for (const ProcessFunction function :
         {ProcessFunction::Mono, ProcessFunction::Stereo, ProcessFunction::Join1To2, ProcessFunction::Join2To1}) {
        FilesInPlace files({one, two}, folder / "out.pcm");
        SoundFileFormats formats({.function = function, .wavOutput = true});
        ASSERT_TRUE(RunProcessing(function, files, formats, settings, observer).succeeded);
        const Bytes expected = function == ProcessFunction::Mono     ? ExpectedMono(raw, samples)
                               : function == ProcessFunction::Stereo ? ExpectedStereo(raw, samples)
                               : function == ProcessFunction::Join1To2 ? Concatenated(raw, samples)
                                                                       : Concatenated(samples, raw);
        const Bytes output = Output();
        ASSERT_GT(output.size(), kWavHeaderBytes);
        EXPECT_EQ(Bytes(output.begin() + kWavHeaderBytes, output.end()), expected) << static_cast<int>(function);
    }
}

TEST_F(RunTest, MissingInput1IsNamedAloneAndNothingIsCreated) {
    RunPaths(folder / "missing.pcm", folder / "also-missing.pcm", folder / "out.pcm");
    EXPECT_EQ(observer.messages, Messages{"open input 1 fileNotFound"});
    EXPECT_FALSE(OutputExists());
}

TEST_F(RunTest, MissingInput2IsNamedAndNothingIsCreated) {
    RunPaths(folder.Write("one.pcm", {1, 2}), folder / "missing.pcm", folder / "out.pcm");
    EXPECT_EQ(observer.messages, Messages{"open input 2 fileNotFound"});
    EXPECT_FALSE(OutputExists());
}

TEST_F(RunTest, InputsThatCannotBeOpenedForOtherReasons) {
    std::filesystem::create_directory(folder.Path() / "sub");
    const std::string one = folder.Write("one.pcm", {1, 2});
    RunPaths(folder / "nowhere/one.pcm", one, folder / "out.pcm");
    RunPaths(folder / "sub", one, folder / "out.pcm");
    RunPaths(one, folder / "sub", folder / "out.pcm");
    EXPECT_EQ(observer.messages,
              (Messages{"open input 1 badPath", "open input 1 accessDenied", "open input 2 accessDenied"}));
    EXPECT_FALSE(OutputExists());
}

TEST_F(RunTest, TheSameFileForBothInputsIsRefused) {
    const std::string one = folder.Write("one.pcm", {1, 2});
    RunPaths(one, one, folder / "out.pcm");
    EXPECT_EQ(observer.messages, Messages{"open input 2 sharingViolation"});
    EXPECT_FALSE(OutputExists());
}

TEST_F(RunTest, AnOutputThatIsAnInputIsRefusedAndTheInputKept) {
    const Bytes content = PatternBytes(1001);
    const std::string one = folder.Write("one.pcm", content);
    const std::string two = folder.Write("two.pcm", content);
    RunPaths(one, two, one);
    RunPaths(one, two, two);
    EXPECT_EQ(observer.messages, (Messages{"open output sharingViolation", "open output sharingViolation"}));
    EXPECT_EQ(ReadBytes(one), content);
    EXPECT_EQ(ReadBytes(two), content);
}

TEST_F(RunTest, AnOutputThatCannotBeCreatedNamesItsCauseFirst) {
    const std::string one = folder.Write("one.pcm", {1, 2});
    const std::string two = folder.Write("two.pcm", {3, 4});
    std::filesystem::create_directory(folder.Path() / "sub");
    RunPaths(one, two, folder / "nowhere/out.pcm");
    RunPaths(one, two, folder / "sub");
    EXPECT_EQ(observer.messages, (Messages{"open output badPath", "open output accessDenied"}));
}

TEST_F(RunTest, PaddingCoversTheLongerInputWithSilenceForTheShorter) {
    settings.padShorterInput = true;
    Run(SampleBytes({30000, 1, 2}), SampleBytes({10000}), ProcessFunction::Mono);
    EXPECT_EQ(Output(), SampleBytes({32767, 1, 2}));
    Run(SampleBytes({1}), SampleBytes({3, 4, 5}), ProcessFunction::Stereo);
    EXPECT_EQ(Output(), SampleBytes({1, 3, 0, 4, 0, 5}));
    // An empty input 1 no longer ends the run: input 2 is read to its end.
    Run({}, SampleBytes({7, 8}), ProcessFunction::Mono);
    EXPECT_EQ(Output(), SampleBytes({7, 8}));
    // Sizes around the chunk sizes, odd lengths and either input longer.
    for (const auto& [size1, size2] : std::vector<std::pair<std::size_t, std::size_t>>{
             {0, 0}, {5, 0}, {0, 7}, {2047, 2049}, {4001, 3999}, {130001, 4000}, {4096, 300003}}) {
        const Bytes one = PatternBytes(size1, 11), two = PatternBytes(size2, 200);
        Run(one, two, ProcessFunction::Mono);
        EXPECT_EQ(Output(), ExpectedMono(one, two, true)) << size1 << " + " << size2;
        Run(one, two, ProcessFunction::Stereo);
        EXPECT_EQ(Output(), ExpectedStereo(one, two, true)) << size1 << " + " << size2;
    }
    // Joins have nothing to pad.
    Run(Bytes{1, 2, 3}, Bytes{4}, ProcessFunction::Join2To1);
    EXPECT_EQ(Output(), (Bytes{4, 1, 2, 3}));
}

TEST_F(RunTest, PaddedProgressRunsOverTheLongerInput) {
    settings.padShorterInput = true;
    settings.chunks = {1024, 1024, 0};
    Run(PatternBytes(2048), PatternBytes(8192), ProcessFunction::Mono);
    EXPECT_EQ(observer.positions, (std::vector<int>{25, 50, 75, 100, 0}));
}

// Files of a run that write the output elsewhere and record what the run
// asked of them, refusing the output or its commit when told to.
class RecordingFiles : public RunFiles {
public:
    RecordingFiles(std::vector<std::string> inputs, std::string target)
        : m_inputs(std::move(inputs)), m_target(std::move(target)) {}
    bool OpenInput(int number, File& input, FileFailure& failure) override {
        asked.push_back("open input " + std::to_string(number));
        return input.Open(m_inputs.at(static_cast<std::size_t>(number - 1)), File::Mode::Read, failure);
    }
    bool OpenOutput(File& output, FileFailure& failure) override {
        asked.push_back("open output");
        if (refuseOutput != FileCause::none) {
            failure = {refuseOutput, -1};
            return false;
        }
        return output.Open(m_target, File::Mode::CreateNew, failure);
    }
    bool Commit(FileFailure& failure) override {
        asked.push_back("commit");
        failure = {refuseCommit, 13};
        return refuseCommit == FileCause::none;
    }
    void Discard() override { asked.push_back("discard"); }

    FileCause refuseOutput = FileCause::none;
    FileCause refuseCommit = FileCause::none;
    std::vector<std::string> asked;

private:
    std::vector<std::string> m_inputs;
    std::string m_target;
};

TEST_F(RunTest, TheRunsFilesDecideWhereTheOutputGoesAndCommitItOnlyOnSuccess) {
    RecordingFiles files({folder.Write("one.pcm", SampleBytes({1, 2})), folder.Write("two.pcm", SampleBytes({3, 4}))},
                         folder / "elsewhere.pcm");
    const RunResult result = RunProcessing(ProcessFunction::Stereo, files, settings, observer);
    EXPECT_TRUE(result.succeeded);
    EXPECT_EQ(files.asked, (Messages{"open input 1", "open input 2", "open output", "commit"}));
    EXPECT_EQ(ReadBytes(folder / "elsewhere.pcm"), SampleBytes({1, 3, 2, 4}));
    EXPECT_TRUE(observer.failures.empty());
}

TEST_F(RunTest, ARefusedOutputOrCommitIsAFailureAndTheOutputIsDiscarded) {
    const std::string one = folder.Write("one.pcm", SampleBytes({1}));
    RecordingFiles missing({folder / "missing.pcm", one}, folder / "a.pcm");
    RunProcessing(ProcessFunction::Mono, missing, settings, observer);
    EXPECT_EQ(missing.asked, (Messages{"open input 1", "discard"})) << "inputs are opened first";

    RecordingFiles refusing({one, folder.Write("two.pcm", SampleBytes({2}))}, folder / "b.pcm");
    refusing.refuseOutput = FileCause::sharingViolation;
    const RunResult refused = RunProcessing(ProcessFunction::Mono, refusing, settings, observer);
    EXPECT_FALSE(refused.succeeded);
    EXPECT_FALSE(refused.outputCreated);
    EXPECT_EQ(refusing.asked.back(), "discard");

    RecordingFiles uncommitted({one, folder / "two.pcm"}, folder / "c.pcm");
    uncommitted.refuseCommit = FileCause::accessDenied;
    EXPECT_FALSE(RunProcessing(ProcessFunction::Mono, uncommitted, settings, observer).succeeded);
    EXPECT_EQ(uncommitted.asked, (Messages{"open input 1", "open input 2", "open output", "commit", "discard"}));
    EXPECT_EQ(observer.messages,
              (Messages{"open input 1 fileNotFound", "open output sharingViolation", "write output accessDenied"}));
    // The commit's cause reaches the report with the system's error.
    EXPECT_EQ(std::get<FileProblem>(observer.failures.back()).failure.osError, 13);
}

void* RefuseAll(std::size_t) { return nullptr; }

TEST_F(RunTest, ARefusedSampleBufferEndsTheRunWithAnEmptyOutput) {
    settings.allocate = &RefuseAll;
    const RunResult result = Run(SampleBytes({1, 2}), SampleBytes({3, 4}), ProcessFunction::Join1To2);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(observer.messages, Messages{"buffer 1"});
    EXPECT_TRUE(OutputExists());
    EXPECT_TRUE(Output().empty());
    EXPECT_TRUE(std::find(observer.events.begin(), observer.events.end(), "wait") == observer.events.end());
}

int g_allocations = 0;
void* RefuseFromTheSecond(std::size_t size) { return ++g_allocations >= 2 ? nullptr : AllocatePageAligned(size); }
void* RefuseTheThird(std::size_t size) { return ++g_allocations == 3 ? nullptr : AllocatePageAligned(size); }

TEST_F(RunTest, ARefusedSecondOrStereoBufferIsNamed) {
    settings.allocate = &RefuseFromTheSecond;
    g_allocations = 0;
    Run(SampleBytes({1, 2}), SampleBytes({3, 4}), ProcessFunction::Mono);
    settings.allocate = &RefuseTheThird;
    g_allocations = 0;
    Run(SampleBytes({1, 2}), SampleBytes({3, 4}), ProcessFunction::Stereo);
    // Mono of three inputs or more adds them up in a buffer of its own.
    settings.allocate = &RefuseFromTheSecond;
    g_allocations = 0;
    FilesInPlace three({folder.Write("a.pcm", SampleBytes({1})), folder.Write("b.pcm", SampleBytes({2})),
                        folder.Write("c.pcm", SampleBytes({3}))},
                       folder / "out.pcm");
    EXPECT_FALSE(RunProcessing(ProcessFunction::Mono, three, settings, observer).succeeded);
    EXPECT_EQ(observer.messages, (Messages{"buffer 2", "buffer 3", "buffer 2"}));
    EXPECT_TRUE(Output().empty());
}

// The kernel copies file data several times faster into a buffer on a page
// boundary; the window's buffers keep their sizes (1024 or 2000 samples).
std::vector<std::pair<std::uintptr_t, std::size_t>> g_taken;
void* RecordTaken(std::size_t size) {
    void* buffer = ProcessingSettings{}.allocate(size);
    g_taken.emplace_back(reinterpret_cast<std::uintptr_t>(buffer), size);
    return buffer;
}

TEST_F(RunTest, SampleBuffersStartOnAPageBoundaryAndKeepTheWindowsSizes) {
    settings.allocate = &RecordTaken;
    for (const std::size_t length : {std::size_t{100}, std::size_t{128002}}) {
        g_taken.clear();
        const Bytes one = PatternBytes(length), two = PatternBytes(length, 3);
        EXPECT_TRUE(Run(one, two, ProcessFunction::Stereo).succeeded);
        EXPECT_EQ(Output(), ExpectedStereo(one, two));
        const std::size_t samples = length > 128000 ? 2000 : 1024;
        ASSERT_EQ(g_taken.size(), 3u);
        EXPECT_EQ(g_taken[0].second, 2 * samples);
        EXPECT_EQ(g_taken[1].second, 2 * samples);
        EXPECT_EQ(g_taken[2].second, 4 * samples);
        for (const auto& [address, size] : g_taken) EXPECT_EQ(address % 4096, 0u) << size << " bytes";
    }
}

#ifndef _WIN32
// Grows its input 1 by `bytes` once the run has done its first chunk. (On
// Windows the run holds its inputs exclusively: nothing else can grow them.)
class GrowingInputObserver : public RecordingObserver {
public:
    GrowingInputObserver(std::string path, Bytes bytes) : m_path(std::move(path)), m_bytes(std::move(bytes)) {}
    void ShowProgress(std::uint64_t done, std::uint64_t total) override {
        RecordingObserver::ShowProgress(done, total);
        if (std::exchange(m_grown, true)) return;
        std::ofstream(m_path, std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(m_bytes.data()), static_cast<std::streamsize>(m_bytes.size()));
    }

private:
    std::string m_path;
    Bytes m_bytes;
    bool m_grown = false;
};

// Buffers shorter than a chunk are fitted to the files as opened (to a
// page); a file that grows past that after a full chunk is still read to its
// end, in more chunks.
TEST_F(RunTest, BuffersFittedToSmallFilesStillReadAFileThatGrowsWhole) {
    settings.chunks = {std::size_t{1} << 19, std::size_t{1} << 19, 0};
    settings.allocate = &RecordTaken;
    g_taken.clear();
    const Bytes first = PatternBytes(4096), more = PatternBytes(20000, 5), two = PatternBytes(3000, 7);
    const std::string one = folder.Write("one.pcm", first);
    GrowingInputObserver growing(one, more);
    FilesInPlace files({one, folder.Write("two.pcm", two)}, folder / "out.pcm");
    const RunResult result = RunProcessing(ProcessFunction::Join1To2, files, settings, growing);
    ASSERT_TRUE(result.succeeded);
    EXPECT_EQ(Output(), Concatenated(Concatenated(first, more), two));
    EXPECT_TRUE(result.inputs[0].lengthChanged);
    ASSERT_FALSE(g_taken.empty());
    EXPECT_EQ(g_taken[0].second, 4096u);  // the longer file, a page
}
#endif

TEST_F(RunTest, TheWindowsPauseAfterEachChunkStillFinishes) {
    settings = ProcessingSettings{};
    EXPECT_EQ(settings.pauseAfterChunk, std::chrono::milliseconds(1));
    const Bytes one = PatternBytes(10000), two = PatternBytes(10000, 5);
    Run(one, two, ProcessFunction::Join2To1);
    EXPECT_EQ(Output(), Concatenated(two, one));
    EXPECT_EQ(observer.positions.back(), 0);
}

#ifndef _WIN32
// Real failures from the system: a device that is always full, and a file
// whose every read fails.
TEST_F(RunTest, AFailedWriteIsReportedNotTakenForSuccess) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const RunResult result =
        RunPaths(folder.Write("one.pcm", PatternBytes(100)), folder.Write("two.pcm", PatternBytes(100)), "/dev/full",
                 ProcessFunction::Join1To2);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(observer.messages, Messages{"write output diskFull"});
}

TEST_F(RunTest, AFailedReadIsReportedNotTakenForTheEnd) {
    if (!std::filesystem::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc/self/mem";
    const std::string two = folder.Write("two.pcm", PatternBytes(100));
    RunPaths("/proc/self/mem", two, folder / "out.pcm", ProcessFunction::Mono);
    RunPaths(two, "/proc/self/mem", folder / "out.pcm", ProcessFunction::Join2To1);
    EXPECT_EQ(observer.messages, (Messages{"read input 1 hardIO", "read input 2 hardIO"}));
}
#endif

// Each input measured 100 bytes when opened; what the run then found.
TEST(RunFindings, GiveTheLengthsTheRunFound) {
    struct Case {
        InputRead read;
        std::uint64_t bytes;
        bool changed;
        bool known;
    };
    const Case cases[] = {
        {{100, true, 100}, 100, false, true},
        {{40, false, 100}, 100, false, true},           // the longer input of a merge, not read to its end
        {{60, true, 60}, 60, true, true},               // cut short while read
        {{130, true, 130}, 130, true, true},            // grew while read
        {{40, false, 130}, 130, true, true},            // grew beyond what was read
        {{8, true, std::nullopt}, 8, false, true},      // a pipe
        {{40, false, std::nullopt}, 40, false, false},  // a pipe not read to its end
        {{23, true, 100}, 23, false, true},             // a kernel's file (sysfs), whose size is no length
    };
    for (const Case& c : cases) {
        const InputFound found = FoundOf(100, c.read);
        EXPECT_EQ(found.bytes, c.bytes) << c.read.bytes;
        EXPECT_EQ(found.lengthChanged, c.changed) << c.read.bytes;
        EXPECT_EQ(found.lengthKnown, c.known) << c.read.bytes;
    }
}

TEST(RunFindings, CountWhatMonoAndStereoLeftUnused) {
    EXPECT_EQ(UnusedSamples(ProcessFunction::Mono, false, 2000, 1201), 400u);
    EXPECT_EQ(UnusedSamples(ProcessFunction::Mono, false, 1201, 2000), 0u);
    EXPECT_EQ(UnusedSamples(ProcessFunction::Stereo, false, 10, 2), 4u);
    EXPECT_EQ(UnusedSamples(ProcessFunction::Stereo, true, 10, 2), 0u);
    EXPECT_EQ(UnusedSamples(ProcessFunction::Join1To2, false, 10, 2), 0u);
}

TEST_F(RunTest, ARunReportsWhatItFoundOfEachInput) {
    const RunResult result = Run(PatternBytes(2000), PatternBytes(1201), ProcessFunction::Mono);
    ASSERT_EQ(result.inputs.size(), 2u);
    EXPECT_EQ(result.inputs[0].bytes, 2000u);
    EXPECT_EQ(result.inputs[0].unusedSamples, 400u);
    EXPECT_EQ(result.inputs[1].bytes, 1201u);
    EXPECT_EQ(result.inputs[1].unusedSamples, 0u);
    EXPECT_FALSE(result.inputs[0].lengthChanged);
}

}  // namespace
}  // namespace varnel

namespace varnel {
namespace {

// Mono of three, sample by sample: the exact sum, clipped once.
Bytes ExpectedMonoOfThree(const Bytes& a, const Bytes& b, const Bytes& c) {
    const std::size_t samples = std::min({a.size(), b.size(), c.size()}) / 2;
    Bytes out(samples * 2);
    for (std::size_t i = 0; i < samples; ++i) {
        const int sum = LoadSample(&a[2 * i]) + LoadSample(&b[2 * i]) + LoadSample(&c[2 * i]);
        StoreSample(&out[2 * i], static_cast<Sample>(std::clamp(sum, -32768, 32767)));
    }
    return out;
}

TEST_F(RunTest, ManyInputsAreJoinedInOrderAndMixedOnceOverEveryChunk) {
    const Bytes one = PatternBytes(4001, 11), two = PatternBytes(2049, 200), three = PatternBytes(130001, 7);
    FilesInPlace files({folder.Write("1.pcm", one), folder.Write("2.pcm", two), folder.Write("3.pcm", three)},
                       folder / "out.pcm");
    for (const std::size_t direct : {std::size_t{0}, std::size_t{4096}}) {
        settings.directCopyBytes = direct;
        observer = {};
        const RunResult joined = RunProcessing(ProcessFunction::Join1To2, files, settings, observer);
        EXPECT_TRUE(joined.succeeded);
        EXPECT_EQ(Output(), Concatenated(Concatenated(one, two), three)) << direct;
        // One progress over the whole run, which ends at its end.
        EXPECT_EQ(std::count(observer.events.begin(), observer.events.end(), "wait"), 1);
        EXPECT_EQ(observer.positions.end()[-2], 100);
    }
    const RunResult mixed = RunProcessing(ProcessFunction::Mono, files, settings, observer);
    EXPECT_EQ(Output(), ExpectedMonoOfThree(one, two, three));
    ASSERT_EQ(mixed.inputs.size(), 3u);
    EXPECT_EQ(mixed.inputs[2].unusedSamples, 130001u / 2 - 2049u / 2);
    EXPECT_EQ(mixed.inputs[1].unusedSamples, 0u);
}

TEST_F(RunTest, AMissingThirdInputIsNamedAndNothingIsCreated) {
    FilesInPlace files(
        {folder.Write("1.pcm", SampleBytes({1})), folder.Write("2.pcm", SampleBytes({2})), folder / "missing.pcm"},
        folder / "out.pcm");
    RunProcessing(ProcessFunction::Mono, files, settings, observer);
    EXPECT_EQ(observer.messages, Messages{"open input 3 fileNotFound"});
    EXPECT_FALSE(OutputExists());
}

}  // namespace
}  // namespace varnel
