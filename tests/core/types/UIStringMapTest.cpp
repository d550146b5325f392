#include "ui/core/UIStringMap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using KvUI::CUIStringMap;

namespace {

LPVOID P(intptr_t n) { return reinterpret_cast<LPVOID>(n); }

std::vector<std::wstring> Keys(const CUIStringMap& map) {
    std::vector<std::wstring> keys;
    for (int i = 0; i < map.GetSize(); ++i) keys.push_back(map.GetAt(i));
    return keys;
}

}  // namespace

TEST(UIStringMap, HasAtLeastSixteenBuckets) {
    EXPECT_EQ(16, CUIStringMap(5).GetBucketCount());
    EXPECT_EQ(83, CUIStringMap().GetBucketCount());
}

TEST(UIStringMap, InsertKeepsTheFirstValueAndSetReplacesIt) {
    CUIStringMap map;
    EXPECT_TRUE(map.Insert(L"font", P(1)));
    EXPECT_FALSE(map.Insert(L"font", P(2)));
    EXPECT_EQ(P(1), map.Find(L"font"));
    EXPECT_EQ(P(1), map.Set(L"font", P(3)));
    EXPECT_EQ(P(3), map.Find(L"font"));
    EXPECT_EQ(nullptr, map.Set(L"image", P(4)));
    EXPECT_EQ(2, map.GetSize());
}

TEST(UIStringMap, KeysDifferingInCaseAreTwoEntries) {
    CUIStringMap map;
    EXPECT_TRUE(map.Insert(L"Name", P(1)));
    EXPECT_TRUE(map.Insert(L"name", P(2)));
    EXPECT_EQ(2, map.GetSize());
    EXPECT_EQ(P(1), map.Find(L"Name"));
    EXPECT_EQ(P(2), map.Find(L"name"));
    EXPECT_EQ(nullptr, map.Find(L"NAME"));
}

TEST(UIStringMap, RemoveFreesOnlyThatEntry) {
    CUIStringMap map(16);
    // 'a' and 'q' share a bucket of sixteen: removal must relink the chain.
    map.Insert(L"a", P(1));
    map.Insert(L"q", P(2));
    map.Insert(L"b", P(3));
    EXPECT_TRUE(map.Remove(L"q"));
    EXPECT_FALSE(map.Remove(L"q"));
    EXPECT_EQ(2, map.GetSize());
    EXPECT_EQ(P(1), map.Find(L"a"));
    EXPECT_TRUE(map.Remove(L"a"));
    EXPECT_EQ(nullptr, map.Find(L"a"));
    EXPECT_EQ(P(3), map.Find(L"b"));
    map.RemoveAll();
    EXPECT_EQ(0, map.GetSize());
    EXPECT_EQ(16, map.GetBucketCount());
    EXPECT_EQ(nullptr, map.Find(L"b"));
}

// With 17 buckets "ab" hashes (last character first) to bucket 16 and "c" to
// 14; enumeration runs from the last bucket down.
TEST(UIStringMap, EnumeratesFromTheLastBucketDown) {
    CUIStringMap map(17);
    map.Insert(L"c", P(1));
    map.Insert(L"ab", P(2));
    EXPECT_EQ((std::vector<std::wstring>{L"ab", L"c"}), Keys(map));
    EXPECT_EQ(nullptr, map.GetAt(2));
    EXPECT_EQ(nullptr, map.GetAt(-1));
}

TEST(UIStringMap, AnOptimisedFindMovesTheHitToTheHeadOfItsChain) {
    CUIStringMap map(16);
    map.Insert(L"a", P(1));
    map.Insert(L"q", P(2));
    EXPECT_EQ((std::vector<std::wstring>{L"q", L"a"}), Keys(map));
    EXPECT_EQ(P(1), map.Find(L"a", false));
    EXPECT_EQ((std::vector<std::wstring>{L"q", L"a"}), Keys(map));
    EXPECT_EQ(P(1), map.Find(L"a", true));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"q"}), Keys(map));
    EXPECT_EQ(P(2), map.Find(L"q"));
    EXPECT_EQ(P(1), map.Find(L"a"));
}

// A map resized to no buckets must refuse every operation, not divide by zero.
TEST(UIStringMap, AMapWithoutBucketsRefusesEverything) {
    for (int buckets : {0, -1}) {
        CUIStringMap map;
        map.Insert(L"kept", P(1));
        map.Resize(buckets);
        EXPECT_EQ(0, map.GetBucketCount());
        EXPECT_EQ(0, map.GetSize());
        EXPECT_EQ(nullptr, map.Find(L"kept"));
        EXPECT_FALSE(map.Insert(L"x", P(2)));
        EXPECT_EQ(P(3), map.Set(L"x", P(3)));
        EXPECT_FALSE(map.Remove(L"x"));
        EXPECT_EQ(nullptr, map.GetAt(0));
        map.RemoveAll();
        EXPECT_EQ(0, map.GetSize());

        map.Resize(16);
        EXPECT_TRUE(map.Insert(L"x", P(4)));
        EXPECT_EQ(P(4), map.Find(L"x"));
    }
}

TEST(UIStringMap, ANullKeyIsNeverStored) {
    CUIStringMap map;
    EXPECT_FALSE(map.Insert(nullptr, P(1)));
    EXPECT_EQ(P(1), map.Set(nullptr, P(1)));
    EXPECT_EQ(nullptr, map.Find(nullptr));
    EXPECT_FALSE(map.Remove(nullptr));
    EXPECT_EQ(0, map.GetSize());
}

TEST(UIStringMap, KeepsManyEntriesFindable) {
    CUIStringMap map;
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(map.Insert(std::to_wstring(i).c_str(), P(i + 1)));
    EXPECT_EQ(1000, map.GetSize());
    for (int i = 0; i < 1000; i += 2) ASSERT_TRUE(map.Remove(std::to_wstring(i).c_str()));
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(i % 2 ? P(i + 1) : nullptr, map.Find(std::to_wstring(i).c_str())) << i;
    EXPECT_EQ(500u, Keys(map).size());
}

// The library's own tables own their values: each leaves exactly once,
// whichever way its entry goes.
TEST(OwnedStringMap, FreesEachValueOnceWhenItsEntryGoes) {
    std::vector<std::wstring> freed;
    struct Named {
        Named(const wchar_t* n, std::vector<std::wstring>* l) : name(n), log(l) {}
        ~Named() { log->push_back(name); }
        std::wstring name;
        std::vector<std::wstring>* log;
    };
    const auto make = [&](const wchar_t* name) { return std::make_unique<Named>(name, &freed); };
    using Log = std::vector<std::wstring>;
    {
        KvUI::OwnedStringMap<Named> map;
        EXPECT_TRUE(map.Insert(L"a", make(L"a1")));
        EXPECT_FALSE(map.Insert(L"a", make(L"a2")));
        EXPECT_EQ(Log{L"a2"}, freed);
        map.Set(L"a", make(L"a3"));
        EXPECT_EQ((Log{L"a2", L"a1"}), freed);
        EXPECT_EQ(L"a3", map.Find(L"a")->name);
        EXPECT_TRUE(map.Insert(L"b", make(L"b1")));
        EXPECT_TRUE(map.Remove(L"b"));
        EXPECT_EQ((Log{L"a2", L"a1", L"b1"}), freed);
        map.RemoveAll();
        EXPECT_EQ((Log{L"a2", L"a1", L"b1", L"a3"}), freed);
        EXPECT_TRUE(map.Insert(L"c", make(L"c1")));
    }
    EXPECT_EQ((Log{L"a2", L"a1", L"b1", L"a3", L"c1"}), freed);
}
