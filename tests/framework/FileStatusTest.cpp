// The static file-status query on real files and folders.
#include "FileStatus.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace varnel::framework {
namespace {

TEST(FileStatusQuery, ExistingFileGivesItsSize) {
    test::TempFolder folder;
    const auto status = GetFileStatus(folder.Write("varnel.ini", test::Bytes(37, 'x')));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->size, 37u);
    EXPECT_EQ(status->attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(FileStatusQuery, FolderIsFoundAsAFolder) {
    test::TempFolder folder;
    const auto status = GetFileStatus(folder.Path().string());
    ASSERT_TRUE(status);
    EXPECT_NE(status->attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(FileStatusQuery, MissingEmptyOrWildcardNameGivesNothing) {
    test::TempFolder folder;
    folder.Write("a.pcm", {1});
    EXPECT_FALSE(GetFileStatus(folder / "varnel.ini"));
    EXPECT_FALSE(GetFileStatus(""));
    EXPECT_FALSE(GetFileStatus(folder / "*.pcm"));
}

}  // namespace
}  // namespace varnel::framework
