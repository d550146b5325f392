#include "ui/core/UIPtrArray.h"

#include <gtest/gtest.h>

#include <cstdint>

using KvUI::CUIPtrArray;

namespace {

LPVOID P(intptr_t n) { return reinterpret_cast<LPVOID>(n); }

void ExpectContents(const CUIPtrArray& a, std::initializer_list<intptr_t> expected) {
    ASSERT_EQ(static_cast<int>(expected.size()), a.GetSize());
    int i = 0;
    for (intptr_t n : expected) EXPECT_EQ(P(n), a[i++]) << "at " << i - 1;
}

}  // namespace

TEST(UIPtrArrayGrowth, ElevenAddsToAFreshArrayGrowItFromElevenToTwentyTwo) {
    CUIPtrArray a;
    EXPECT_EQ(0, a.GetCapacity());
    for (int i = 1; i <= 10; ++i) ASSERT_TRUE(a.Add(P(i)));
    EXPECT_EQ(11, a.GetCapacity());
    ASSERT_TRUE(a.Add(P(11)));
    EXPECT_EQ(22, a.GetCapacity());
    EXPECT_EQ(11, a.GetSize());
    EXPECT_EQ(P(11), a.GetAt(10));
}

TEST(UIPtrArrayGrowth, APreallocatedArrayKeepsOneSlotFree) {
    CUIPtrArray a(4);
    EXPECT_EQ(4, a.GetCapacity());
    EXPECT_TRUE(a.IsEmpty());
    for (int i = 1; i <= 3; ++i) ASSERT_TRUE(a.Add(P(i)));
    EXPECT_EQ(4, a.GetCapacity());
    ASSERT_TRUE(a.Add(P(4)));
    EXPECT_EQ(8, a.GetCapacity());
}

TEST(UIPtrArrayGrowth, ANegativeCapacityGivesAnEmptyUsableArray) {
    CUIPtrArray a(-5);
    EXPECT_EQ(0, a.GetCapacity());
    ASSERT_TRUE(a.Add(P(1)));
    ExpectContents(a, {1});
}

// An array already at the largest block an int can count cannot double: the
// Add must fail and leave the array exactly as it was.
TEST(UIPtrArrayGrowth, AFailedGrowthLeavesCountAndCapacityUnchanged) {
    constexpr int kHuge = 1 << 30;
    CUIPtrArray a;
    a.Resize(kHuge);
    if (a.GetSize() != kHuge) GTEST_SKIP() << "this machine cannot reserve the array";
    ASSERT_EQ(kHuge, a.GetCapacity());
    a.SetAt(kHuge - 1, P(7));

    EXPECT_FALSE(a.Add(P(1)));
    EXPECT_FALSE(a.InsertAt(0, P(1)));
    EXPECT_EQ(kHuge, a.GetSize());
    EXPECT_EQ(kHuge, a.GetCapacity());
    EXPECT_EQ(P(7), a.GetAt(kHuge - 1));
    EXPECT_EQ(nullptr, a.GetAt(kHuge));
}

TEST(UIPtrArrayEdit, InsertAtTheCountAppendsAndPastItFails) {
    CUIPtrArray a;
    a.Add(P(1));
    a.Add(P(3));
    EXPECT_TRUE(a.InsertAt(1, P(2)));
    EXPECT_TRUE(a.InsertAt(3, P(4)));
    EXPECT_FALSE(a.InsertAt(5, P(9)));
    EXPECT_FALSE(a.InsertAt(-1, P(9)));
    EXPECT_TRUE(a.InsertAt(0, P(0)));
    ExpectContents(a, {0, 1, 2, 3, 4});
}

TEST(UIPtrArrayEdit, RemoveShiftsTheTailAndNeverShrinks) {
    CUIPtrArray a;
    for (int i = 0; i < 12; ++i) a.Add(P(i));
    const int capacity = a.GetCapacity();
    EXPECT_TRUE(a.Remove(0));
    EXPECT_TRUE(a.Remove(10));
    EXPECT_FALSE(a.Remove(10));
    EXPECT_FALSE(a.Remove(-1));
    ExpectContents(a, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(capacity, a.GetCapacity());
}

TEST(UIPtrArrayEdit, OutOfRangeAccessIsRefused) {
    CUIPtrArray a;
    a.Add(P(5));
    EXPECT_FALSE(a.SetAt(1, P(6)));
    EXPECT_FALSE(a.SetAt(-1, P(6)));
    EXPECT_TRUE(a.SetAt(0, P(6)));
    EXPECT_EQ(P(6), a.GetAt(0));
    EXPECT_EQ(nullptr, a.GetAt(1));
    EXPECT_EQ(nullptr, a.GetAt(-1));
    EXPECT_EQ(0, a.Find(P(6)));
    EXPECT_EQ(-1, a.Find(P(5)));
}

TEST(UIPtrArrayEdit, ResizeGivesZeroFilledSlots) {
    CUIPtrArray a;
    a.Add(P(1));
    a.Resize(3);
    ExpectContents(a, {0, 0, 0});
    EXPECT_EQ(3, a.GetCapacity());
    ASSERT_TRUE(a.Add(P(4)));
    ExpectContents(a, {0, 0, 0, 4});
    a.Empty();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(0, a.GetCapacity());
}

TEST(UIPtrArrayCopy, CopiesHoldTheSameElementsIndependently) {
    CUIPtrArray a;
    for (int i = 1; i <= 3; ++i) a.Add(P(i));
    CUIPtrArray b(a);
    CUIPtrArray c(40);
    c = a;
    a.SetAt(0, P(9));
    ExpectContents(b, {1, 2, 3});
    ExpectContents(c, {1, 2, 3});
    EXPECT_EQ(11, b.GetCapacity());
}
