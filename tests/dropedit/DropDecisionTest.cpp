// The drop rules with answers the real shell cannot be made to give, and
// the kinds of real objects they are applied to.
#include "dropedit/DropDecision.h"
#include "dropedit/FileKind.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnel {
namespace {

// Services that answer from fixed values and record what was asked.
struct FakeShell {
    std::string target;                     // what expansion gives
    PathKind kind = PathKind::RegularFile;  // what exists at any path
    std::vector<std::string> expanded, statted;

    DropServices Services() {
        return {[this](const std::string& path) {
                    expanded.push_back(path);
                    return target;
                },
                [this](const std::string& path) {
                    statted.push_back(path);
                    return kind;
                }};
    }
};

// What the runtime's status of real objects makes of them: the kinds the
// rules are then applied to.
TEST(DropKinds, RealFilesFoldersAndMissingPaths) {
    test::TempFolder folder;
    EXPECT_EQ(QueryPathKind(folder.Write("take.pcm", {1, 2})), PathKind::RegularFile);
    EXPECT_EQ(QueryPathKind(folder.Write("empty.pcm", {})), PathKind::RegularFile);
    EXPECT_EQ(QueryPathKind(folder.Path().string()), PathKind::Directory);
    EXPECT_EQ(QueryPathKind(folder / "missing.pcm"), PathKind::Missing);
}

TEST(DropRules, NeitherFileNorFolderIsRefusedByEveryField) {
    FakeShell shell;
    shell.kind = PathKind::Other;
    EXPECT_EQ(PathToShow("C:\\device", false, shell.Services()), std::nullopt);
    EXPECT_EQ(PathToShow("C:\\device", true, shell.Services()), std::nullopt);
}

TEST(DropRules, TargetIsCheckedAndShownInsteadOfTheShortcut) {
    FakeShell shell;
    shell.target = "C:\\takes\\one.pcm";
    EXPECT_EQ(PathToShow("C:\\one.lnk", false, shell.Services()), "C:\\takes\\one.pcm");
    EXPECT_EQ(shell.expanded, std::vector<std::string>{"C:\\one.lnk"});
    EXPECT_EQ(shell.statted, std::vector<std::string>{"C:\\takes\\one.pcm"});
}

TEST(DropRules, NoReadableNameAsksNothingAndShowsNothing) {
    FakeShell shell;
    EXPECT_EQ(PathToShow("", false, shell.Services()), std::nullopt);
    EXPECT_TRUE(shell.expanded.empty());
    EXPECT_TRUE(shell.statted.empty());
}

TEST(DropRules, EachFieldTakesOnlyItsKind) {
    FakeShell shell;
    shell.kind = PathKind::Directory;
    EXPECT_EQ(PathToShow("C:\\takes", false, shell.Services()), std::nullopt);
    EXPECT_EQ(PathToShow("C:\\takes", true, shell.Services()), "C:\\takes");
    shell.kind = PathKind::RegularFile;
    EXPECT_EQ(PathToShow("C:\\a.pcm", false, shell.Services()), "C:\\a.pcm");
    EXPECT_EQ(PathToShow("C:\\a.pcm", true, shell.Services()), std::nullopt);
    shell.kind = PathKind::Missing;
    EXPECT_EQ(PathToShow("C:\\a.pcm", false, shell.Services()), std::nullopt);
    EXPECT_EQ(PathToShow("C:\\a.pcm", true, shell.Services()), std::nullopt);
}

}  // namespace
}  // namespace varnel
