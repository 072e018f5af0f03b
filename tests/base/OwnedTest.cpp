// A system handle given back when its owner ends, or when the owner is to
// receive another.
#include "base/Owned.h"

#include <gtest/gtest.h>

namespace varnel::base {
namespace {

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != 0;
}

TEST(Owned, ClosesItsHandleWhenItEnds) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(IsOpen(event));
    { const KernelHandle owned(event); }
    EXPECT_FALSE(IsOpen(event));
}

// Receiving a second handle into an owner that holds one gives the first
// back rather than losing it.
TEST(Owned, ReceivingAnotherGivesBackTheOneHeld) {
    KernelHandle owned(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const HANDLE first = owned.Get();
    ASSERT_TRUE(IsOpen(first));
    HANDLE* slot = owned.Receive();
    EXPECT_FALSE(owned.Holds());
    EXPECT_FALSE(IsOpen(first));
    *slot = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(owned.Holds());
    EXPECT_TRUE(IsOpen(owned.Get()));
}

}  // namespace
}  // namespace varnel::base
