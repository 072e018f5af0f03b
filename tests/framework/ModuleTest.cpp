// The running program's own file and string resources.
#include "FrameworkTestIds.h"
#include "framework/Module.h"

#include <gtest/gtest.h>

namespace varnel::framework {
namespace {

TEST(ProgramFile, FullPathAndNameWithoutExtension) {
    const std::string path = ModuleFileName();
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path[1], ':');
    EXPECT_EQ(path.substr(path.size() - 20), "\\framework_tests.exe");
    EXPECT_EQ(ProgramName(), "framework_tests");
}

TEST(StringResources, ShortLongAndMissing) {
    EXPECT_EQ(LoadStringResource(IDS_TEST_SHORT), "Short");
    const std::string text = LoadStringResource(IDS_TEST_LONG);
    EXPECT_EQ(text.size(), 321u);
    EXPECT_EQ(text.substr(text.size() - 10), "0123456789");
    EXPECT_EQ(LoadStringResource(4711), "");
}

}  // namespace
}  // namespace varnel::framework
