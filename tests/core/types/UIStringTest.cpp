#include "ui/core/UIString.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <string>

using KvUI::CUIString;

namespace {

bool IsInline(const CUIString& s) {
    const auto* begin = reinterpret_cast<const char*>(&s);
    const auto* data = reinterpret_cast<const char*>(s.GetData());
    return data >= begin && data < begin + sizeof(CUIString);
}

// Characters the heap block can hold, terminator included.
size_t BlockChars(const CUIString& s) {
    return _msize(const_cast<wchar_t*>(s.GetData())) / sizeof(wchar_t);
}

std::wstring Text(const CUIString& s) { return s.GetData(); }

}  // namespace

TEST(UIStringStorage, SixtyTwoCharactersStayInlineAndOneMoreMovesToAnExactHeapBlock) {
    CUIString s(std::wstring(62, L'x').c_str());
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(62, s.GetLength());

    s.AppendChar(L'y');
    ASSERT_FALSE(IsInline(s));
    EXPECT_EQ(64u, BlockChars(s));
    EXPECT_EQ(std::wstring(62, L'x') + L'y', Text(s));

    s = L"0123456789";
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(L"0123456789", Text(s));
}

TEST(UIStringStorage, EmptyReturnsToTheInlineBuffer) {
    CUIString s(std::wstring(100, L'x').c_str());
    ASSERT_FALSE(IsInline(s));
    s.Empty();
    EXPECT_TRUE(IsInline(s));
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(0, s.GetLength());
}

TEST(UIStringStorage, CopiesAreIndependent) {
    const std::wstring longText(80, L'q');
    CUIString a(longText.c_str());
    CUIString b(a);
    CUIString c;
    c = a;
    a.Replace(L"q", L"z");
    EXPECT_EQ(longText, Text(b));
    EXPECT_EQ(longText, Text(c));
    EXPECT_EQ(std::wstring(80, L'z'), Text(a));
}

TEST(UIStringAssign, TakesALengthAndTreatsNullAsEmpty) {
    CUIString s;
    EXPECT_EQ(3, s.Assign(L"abcdef", 3));
    EXPECT_EQ(L"abc", Text(s));
    EXPECT_EQ(0, s.Assign(nullptr));
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(L"ab", Text(CUIString::FromText(L"abc", 2)));
    EXPECT_EQ(L"abc", Text(CUIString::FromText(L"abc", -1)));
    EXPECT_EQ(L"z", Text(CUIString::FromChar(L'z')));
}

TEST(UIStringAssign, NeverReadsPastTheTerminatorOfAShortText) {
    CUIString s;
    EXPECT_EQ(3, s.Assign(L"abc", 100));
    EXPECT_EQ(L"abc", Text(s));
    EXPECT_TRUE(IsInline(s));
}

// A string fed its own text must copy it before the block it lives in is
// freed or moved.
TEST(UIStringSelfReference, AssigningPartOfItselfWorksInlineAndOnTheHeap) {
    CUIString shortText(L"abcdef");
    shortText.Assign(shortText.GetData() + 3);
    EXPECT_EQ(L"def", Text(shortText));

    std::wstring longText;
    for (int i = 0; i < 100; ++i) longText += static_cast<wchar_t>(L'A' + i % 26);
    CUIString heapToInline(longText.c_str());
    heapToInline.Assign(heapToInline.GetData(), 10);
    EXPECT_EQ(longText.substr(0, 10), Text(heapToInline));
    EXPECT_TRUE(IsInline(heapToInline));

    CUIString heapToHeap(longText.c_str());
    heapToHeap.Assign(heapToHeap.GetData() + 10);
    EXPECT_EQ(longText.substr(10), Text(heapToHeap));

    CUIString whole(longText.c_str());
    whole = whole;
    whole.SetText(whole.GetData());
    EXPECT_EQ(longText, Text(whole));
}

TEST(UIStringSelfReference, AppendingItselfWorksAcrossEveryGrowth) {
    CUIString small(L"abc");
    small.Append(small.GetData());
    EXPECT_EQ(L"abcabc", Text(small));

    const std::wstring forty(40, L'k');
    CUIString toHeap(forty.c_str());
    toHeap.Append(toHeap.GetData());
    EXPECT_EQ(forty + forty, Text(toHeap));

    std::wstring longText;
    for (int i = 0; i < 200; ++i) longText += static_cast<wchar_t>(L'a' + i % 26);
    // A neighbouring block keeps the heap from growing the text in place.
    CUIString onHeap(longText.c_str());
    const CUIString neighbour(longText.c_str());
    onHeap += onHeap;
    EXPECT_EQ(longText + longText, Text(onHeap));

    CUIString tail(longText.c_str());
    const CUIString otherNeighbour(longText.c_str());
    tail.Append(tail.GetData() + 150);
    EXPECT_EQ(longText + longText.substr(150), Text(tail));
}

TEST(UIStringAppend, IgnoresNullAndJoinsStrings) {
    CUIString s(L"ab");
    s.AppendText(nullptr);
    s += L"cd";
    s.AppendChar(L'e');
    EXPECT_EQ(L"abcde", Text(s));
    EXPECT_EQ(L"abcdefg", Text(s + CUIString(L"fg")));
    EXPECT_EQ(L"abcde", Text(s.Concat(nullptr)));
    EXPECT_EQ(L"abcdexy", Text(s.Concat(L"xy")));
    EXPECT_EQ(L"abcde", Text(s));
}

TEST(UIStringCompare, OrdersByCodeUnitsWithAndWithoutCase) {
    const CUIString s(L"Hello");
    EXPECT_EQ(0, s.Compare(L"Hello"));
    EXPECT_LT(s.Compare(L"hello"), 0);
    EXPECT_EQ(0, s.CompareNoCase(L"hELLO"));
    EXPECT_GT(s.CompareNoCase(L"HELL"), 0);
    EXPECT_TRUE(s == L"Hello");
    EXPECT_TRUE(s != L"hello");
    EXPECT_TRUE(s < L"World");
    EXPECT_EQ(0, CUIString().Compare(nullptr));
}

TEST(UIStringCompare, IgnoringCaseComparesTheLowerCaseForms) {
    // '_' sorts after 'A' but before 'a': only lower-casing puts it first.
    EXPECT_LT(CUIString(L"_").CompareNoCase(L"A"), 0);
    EXPECT_EQ(0, CUIString(L"\u00C4RGER").CompareNoCase(L"\u00E4rger"));
}

TEST(UIStringCompare, MakeLowerLowersEveryCharacterInPlace) {
    CUIString s(L"Skin\u00C4\u0416-XML");
    s.MakeLower();
    EXPECT_EQ(L"skin\u00E4\u0436-xml", Text(s));
}

TEST(UIStringSlices, ClampPositionsAndCounts) {
    const CUIString s(L"abcdef");
    EXPECT_EQ(L"cdef", Text(s.Mid(2, -1)));
    EXPECT_EQ(L"cd", Text(s.Mid(2, 2)));
    EXPECT_EQ(L"ef", Text(s.Mid(4, 10)));
    EXPECT_EQ(L"", Text(s.Mid(10, 2)));
    EXPECT_EQ(L"", Text(s.Mid(6)));
    EXPECT_EQ(L"ab", Text(s.Mid(-3, 2)));
    EXPECT_EQ(L"abc", Text(s.Left(3)));
    EXPECT_EQ(L"abcdef", Text(s.Left(10)));
    EXPECT_EQ(L"", Text(s.Left(-1)));
    EXPECT_EQ(L"ef", Text(s.Right(2)));
    EXPECT_EQ(L"", Text(s.Right(-2)));
    EXPECT_EQ(L"abc", Text(CUIString(L"abc").Right(10)));
}

TEST(UIStringSearch, FindRefusesAStartAtTheEndButFindTextAcceptsIt) {
    const CUIString s(L"abcba");
    EXPECT_EQ(-1, s.Find(L'a', 5));
    EXPECT_EQ(5, s.FindText(L"", 5));
    EXPECT_EQ(-1, s.FindText(L"", 6));
    EXPECT_EQ(-1, s.Find(L'a', -1));
    EXPECT_EQ(-1, s.FindText(L"b", -1));
    EXPECT_EQ(4, s.Find(L'a', 1));
    EXPECT_EQ(1, s.Find(L'b'));
    EXPECT_EQ(3, s.FindText(L"ba"));
    EXPECT_EQ(-1, s.FindText(L"ab", 1));
    EXPECT_EQ(3, s.ReverseFind(L'b'));
    EXPECT_EQ(-1, s.ReverseFind(L'z'));
    EXPECT_EQ(-1, CUIString().Find(L'a'));
}

TEST(UIStringReplace, NeverSearchesWhatItInserted) {
    CUIString s(L"aaa");
    EXPECT_EQ(3, s.Replace(L"a", L"aa"));
    EXPECT_EQ(L"aaaaaa", Text(s));

    CUIString path(L"a\\b\\c");
    EXPECT_EQ(2, path.Replace(L"\\", L"/"));
    EXPECT_EQ(L"a/b/c", Text(path));
    EXPECT_EQ(0, path.Replace(L"x", L"y"));
    EXPECT_EQ(1, path.Replace(L"a/", nullptr));
    EXPECT_EQ(L"b/c", Text(path));
}

TEST(UIStringReplace, AnEmptyPatternReplacesNothing) {
    CUIString s(L"abc");
    EXPECT_EQ(0, s.Replace(L"", L"x"));
    EXPECT_EQ(0, s.Replace(nullptr, L"x"));
    EXPECT_EQ(L"abc", Text(s));
}

TEST(UIStringReplace, PatternsTakenFromTheStringItself) {
    CUIString s(L"abab");
    EXPECT_EQ(1, s.Replace(s.GetData(), L"x"));
    EXPECT_EQ(L"x", Text(s));

    const std::wstring longText = std::wstring(70, L'm') + L"end";
    CUIString growing(longText.c_str());
    EXPECT_EQ(1, growing.Replace(L"end", growing.GetData()));
    EXPECT_EQ(std::wstring(70, L'm') + longText, Text(growing));
}

// %s must take a wide string, as the platform's wide printf does, even where
// MinGW's C99 stdio would read it as a narrow one.
TEST(UIStringFormat, PercentSTakesAWideString) {
    CUIString s;
    EXPECT_EQ(5, s.Format(L"%s-%d", L"abc", 5));
    EXPECT_EQ(L"abc-5", Text(s));
    CUIString small;
    EXPECT_EQ(5, small.SmallFormat(L"%s-%d", L"abc", 5));
    EXPECT_EQ(L"abc-5", Text(small));
}

TEST(UIStringFormat, FormatHasNoLengthLimit) {
    const std::wstring word(100, L'w');
    CUIString s;
    EXPECT_EQ(105, s.Format(L"[%s]%03d", word.c_str(), 7));
    EXPECT_EQ(L"[" + word + L"]007", Text(s));
    EXPECT_FALSE(IsInline(s));
    EXPECT_EQ(106u, BlockChars(s));

    s.Format(L"%s!", s.GetData());
    EXPECT_EQ(L"[" + word + L"]007!", Text(s));
}

TEST(UIStringFormat, SmallFormatKeepsSixtyThreeCharacters) {
    const std::wstring word(100, L'w');
    CUIString s;
    s.SmallFormat(L"%s", word.c_str());
    EXPECT_EQ(std::wstring(63, L'w'), Text(s));

    s.SmallFormat(L"%s", std::wstring(63, L'v').c_str());
    EXPECT_EQ(std::wstring(63, L'v'), Text(s));
}
