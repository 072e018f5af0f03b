// Reading a shell drop: real HDROP blocks, ANSI and wide.
#include "DropTestSupport.h"
#include "dropedit/DroppedNames.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

using test::MakeDrop;

TEST(DroppedNames, FirstOfSeveralIsTaken) {
    const HDROP drop = MakeDrop({"C:\\takes\\one.pcm", "C:\\takes\\two.pcm", "C:\\takes\\three.pcm"});
    EXPECT_EQ(TakeFirstDroppedName(drop), "C:\\takes\\one.pcm");
}

TEST(DroppedNames, NamesFromAWideDropAreRead) {
    // The shell's own drops carry wide names.
    const HDROP drop = MakeDrop({"C:\\takes\\one.pcm", "C:\\two.pcm"}, true);
    EXPECT_EQ(TakeFirstDroppedName(drop), "C:\\takes\\one.pcm");
}

TEST(DroppedNames, DropWithoutNamesGivesNothing) {
    const HDROP drop = MakeDrop({});
    EXPECT_EQ(TakeFirstDroppedName(drop), "");
}

TEST(DroppedNames, LongNameIsReadWhole) {
    const std::string name = "C:\\" + std::string(400, 'x') + ".pcm";
    EXPECT_EQ(TakeFirstDroppedName(MakeDrop({name, "C:\\b.pcm"})), name);
}

TEST(DroppedNames, DropIsEndedAndItsMemoryFreed) {
    const HDROP drop = MakeDrop({"C:\\a.pcm", "C:\\b.pcm"});
    ASSERT_FALSE(test::IsFreed(drop));
    TakeFirstDroppedName(drop);
    EXPECT_TRUE(test::IsFreed(drop));
}

}  // namespace
}  // namespace varnel
