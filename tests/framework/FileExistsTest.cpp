// The static file-status query on real files and folders.
#include "framework/Module.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace varnel::framework {
namespace {

TEST(FileStatusQuery, FilesAndFoldersExistNothingElseDoes) {
    test::TempFolder folder;
    EXPECT_TRUE(FileExists(folder.Write("varnel.ini", test::Bytes(37, 'x'))));
    EXPECT_TRUE(FileExists(folder.Write("empty.ini", {})));
    EXPECT_TRUE(FileExists(folder.Path().string()));
    EXPECT_FALSE(FileExists(folder / "missing.ini"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(folder / "*.ini"));  // wildcards name no file
}

}  // namespace
}  // namespace varnel::framework
