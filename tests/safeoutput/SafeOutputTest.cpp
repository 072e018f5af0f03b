// The pieces that keep files safe, in-process: file identity and the
// temporary output.
#include "safeoutput/SafeOutput.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <variant>

#include "safeoutput/FileIdentity.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace varnel::safeoutput {
namespace {

using test::Bytes;
using test::PatternBytes;
using test::ReadBytes;
using test::TempFolder;

bool SameFile(const std::string& a, const std::string& b) {
    const auto first = IdentityOf(a), second = IdentityOf(b);
    return first && second && first->SameFileAs(*second);
}

TEST(FileIdentity, KnowsOneFileByAnyOfItsNames) {
    TempFolder folder;
    const std::string one = folder.Write("one.pcm", {1});
    folder.Write("two.pcm", {1});
    std::filesystem::create_directory(folder.Path() / "sub");
    EXPECT_TRUE(SameFile(one, folder / "sub/../one.pcm"));
    EXPECT_TRUE(SameFile(one, (folder.Path() / "." / "one.pcm").string()));
    EXPECT_FALSE(SameFile(one, folder / "two.pcm"));
    std::error_code error;
    std::filesystem::create_hard_link(one, folder.Path() / "hard.pcm", error);
    EXPECT_FALSE(error) << error.message();
    if (!error) {
        EXPECT_TRUE(SameFile(one, folder / "hard.pcm"));
    }
#ifdef _WIN32
    EXPECT_TRUE(SameFile(one, folder / "ONE.PCM"));
#else
    std::filesystem::create_symlink(one, folder.Path() / "soft.pcm");
    EXPECT_TRUE(SameFile(one, folder / "soft.pcm"));
#endif
    EXPECT_TRUE(IdentityOf(one)->regular);
    EXPECT_FALSE(IdentityOf(folder / "sub")->regular);
    EXPECT_FALSE(IdentityOf(folder / "missing.pcm"));
}

#ifdef _WIN32
// A run holds its inputs with no sharing, and the identity of its output is
// asked for while they are held; only Windows has holds that refuse others.
TEST(FileIdentity, WorksOnAFileHeldOpenExclusively) {
    TempFolder folder;
    const std::string one = folder.Write("one.pcm", {1, 2});
    File held;
    FileFailure failure;
    ASSERT_TRUE(held.Open(one, File::Mode::Read, failure));
    File second;
    ASSERT_FALSE(second.Open(one, File::Mode::ReadShared, failure)) << "the hold is not exclusive";
    EXPECT_TRUE(SameFile(one, folder / "ONE.PCM"));
}
#endif

// Calls `step` at the first chunk of a run, while the output is being written.
class MidRun : public test::RecordingObserver {
public:
    explicit MidRun(std::function<void()> step) : m_step(std::move(step)) {}
    void ShowProgress(std::uint64_t, std::uint64_t) override {
        if (m_step) std::exchange(m_step, nullptr)();
    }

private:
    std::function<void()> m_step;
};

class SafeOutputRun : public ::testing::Test {
protected:
    SafeOutputRun() {
        settings.pauseAfterChunk = std::chrono::milliseconds(0);
        one = folder.Write("one.pcm", PatternBytes(10000));
        two = folder.Write("two.pcm", PatternBytes(10000, 1));
        out = folder.Write("out.pcm", previous);
    }
    RunResult Run(SafeOutput& output, RunObserver& observer) {
        return RunProcessing(ProcessFunction::Join1To2, output, settings, observer);
    }
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder.Path()), std::filesystem::directory_iterator()));
    }

    TempFolder folder;
    ProcessingSettings settings;
    const Bytes previous = PatternBytes(33, 9);
    std::string one, two, out;
};

// On Linux the file being written has no name until it is put in place; on
// Windows it has one, beside OUTPUT, but is marked for deletion until then.
#ifdef _WIN32
constexpr std::size_t kFilesWhileWriting = 4;
#else
constexpr std::size_t kFilesWhileWriting = 3;
#endif

TEST_F(SafeOutputRun, PutsTheOutputInPlaceOnlyWhenTheRunSucceeded) {
    SafeOutput output({one, two}, out);
    bool checked = false;
    MidRun observer([&] {
        EXPECT_EQ(FilesInFolder(), kFilesWhileWriting);
        const std::string temporary = output.TemporaryPath();
#ifdef _WIN32
        EXPECT_EQ(std::filesystem::path(temporary).parent_path(), std::filesystem::path(out).parent_path());
        EXPECT_EQ(temporary.size() - std::filesystem::path(temporary).parent_path().string().size(), 29u)
            << "a short name, whatever OUTPUT's: " << temporary;
#else
        EXPECT_EQ(temporary, "");
#endif
        EXPECT_EQ(ReadBytes(out), previous);
        checked = true;
    });
    ASSERT_TRUE(Run(output, observer).succeeded);
    EXPECT_TRUE(checked);
    EXPECT_EQ(ReadBytes(out).size(), 20000u);
    EXPECT_EQ(FilesInFolder(), 3u);
}

void* RefuseAll(std::size_t) { return nullptr; }

TEST_F(SafeOutputRun, AFailedRunLeavesNothingBehind) {
    {
        SafeOutput output({one, two}, out);
        test::RecordingObserver observer;
        settings.allocate = &RefuseAll;  // fails once the output is open
        const RunResult result = Run(output, observer);
        EXPECT_TRUE(result.outputCreated);
        EXPECT_FALSE(result.succeeded);
        EXPECT_EQ(FilesInFolder(), 3u);
    }
    {
        SafeOutput output({one, two}, out);  // abandoned: the destructor cleans up
        File written;
        FileFailure failure;
        ASSERT_TRUE(output.OpenOutput(written, failure));
    }
    EXPECT_EQ(FilesInFolder(), 3u);
    EXPECT_EQ(ReadBytes(out), previous);
}

// Another program took OUTPUT's place during the run (here a folder, which
// no file can replace): the commit fails with the system's cause.
TEST_F(SafeOutputRun, ACommitThatFailsSaysWhy) {
    SafeOutput output({one, two}, out);
    MidRun observer([&] {
        std::filesystem::remove(out);
        std::filesystem::create_directory(out);
        folder.Write("out.pcm/kept.pcm", {1});
    });
    EXPECT_FALSE(Run(output, observer).succeeded);
    ASSERT_EQ(observer.failures.size(), 1u);
    const FileProblem problem = std::get<FileProblem>(observer.failures[0]);
    EXPECT_EQ(problem.file, RunFile::Output());
    EXPECT_EQ(problem.action, FileAction::Write);
    EXPECT_EQ(problem.failure.cause, FileCause::accessDenied);
    EXPECT_GT(problem.failure.osError, 0);
    EXPECT_EQ(FilesInFolder(), 3u);
}

}  // namespace
}  // namespace varnel::safeoutput
