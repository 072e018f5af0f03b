// Following shortcut files made by the shell's own objects.
#include "DropTestSupport.h"
#include "dropedit/ShellShortcut.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

namespace varnel {
namespace {

using test::TempFolder;

class Shortcut : public ::testing::Test {
protected:
    test::ComApartment m_com;
    TempFolder m_folder;
};

TEST_F(Shortcut, ToAFileGivesTheFile) {
    const std::string target = m_folder.Write("take.pcm", test::SampleBytes({1, 2, 3}));
    const std::string link = m_folder / "take.pcm.lnk";
    ASSERT_TRUE(test::MakeShortcut(link, target));

    EXPECT_EQ(ExpandShortcut(link), target);
}

TEST_F(Shortcut, ToAFolderGivesTheFolder) {
    const std::string target = m_folder / "takes";
    std::filesystem::create_directory(target);
    const std::string link = m_folder / "takes.lnk";
    ASSERT_TRUE(test::MakeShortcut(link, target));

    EXPECT_EQ(ExpandShortcut(link), target);
}

TEST_F(Shortcut, ToARemovedFileStillGivesTheStoredPath) {
    const std::string target = m_folder.Write("gone.pcm", test::SampleBytes({1}));
    const std::string link = m_folder / "gone.lnk";
    ASSERT_TRUE(test::MakeShortcut(link, target));
    std::filesystem::remove(target);

    // Taken as stored: no search for a moved target.
    EXPECT_EQ(ExpandShortcut(link), target);
}

TEST_F(Shortcut, WithoutAFileSystemTargetGivesNothing) {
    const std::string link = m_folder / "computer.lnk";
    if (!test::MakeShortcutWithoutPath(link)) GTEST_SKIP() << "the shell cannot save a shortcut to My Computer";

    EXPECT_EQ(ExpandShortcut(link), "");
}

TEST_F(Shortcut, FileNamedLikeAShortcutIsNotOne) {
    const std::string path = m_folder.Write("not-a-link.lnk", test::PatternBytes(300));
    EXPECT_EQ(ExpandShortcut(path), "");
}

TEST_F(Shortcut, FolderIsNotOne) {
    const std::string path = m_folder / "folder.lnk";
    std::filesystem::create_directory(path);
    EXPECT_EQ(ExpandShortcut(path), "");
}

TEST_F(Shortcut, MissingFileIsNotOne) { EXPECT_EQ(ExpandShortcut(m_folder / "missing.lnk"), ""); }

TEST_F(Shortcut, PathOf260CharactersOrMoreIsNotFollowed) {
    // A real shortcut whose own path does not fit the shell's MAX_PATH
    // buffer: it is treated like a file that is not a shortcut, rather than
    // cut to a path that names something else.
    std::string folder = m_folder / "";
    while (folder.size() < 300) folder += std::string(40, 'd') + "\\";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string target = m_folder.Write("take.pcm", test::SampleBytes({1}));
    const std::string link = folder + "take.lnk";
    ASSERT_GE(link.size(), 260u);
    if (error || !test::MakeShortcut(link, target))
        GTEST_SKIP() << "this system cannot write a file at a path of " << link.size() << " characters";

    EXPECT_EQ(ExpandShortcut(link), "");
}

TEST_F(Shortcut, PathJustShortOf260CharactersIsFollowed) {
    const std::string target = m_folder.Write("take.pcm", test::SampleBytes({1}));
    std::string link = m_folder / "";
    link += std::string(259 - link.size() - 4, 'n') + ".lnk";
    ASSERT_EQ(link.size(), 259u);
    ASSERT_TRUE(test::MakeShortcut(link, target));

    EXPECT_EQ(ExpandShortcut(link), target);
}

TEST_F(Shortcut, ThreadWithoutComFollowsNothing) {
    const std::string target = m_folder.Write("take.pcm", test::SampleBytes({1}));
    const std::string link = m_folder / "take.lnk";
    ASSERT_TRUE(test::MakeShortcut(link, target));

    std::string expanded = "not run";
    std::thread([&] { expanded = ExpandShortcut(link); }).join();
    EXPECT_EQ(expanded, "");
}

}  // namespace
}  // namespace varnel
