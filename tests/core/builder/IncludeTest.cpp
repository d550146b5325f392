// "Include": the included document's controls join the current parent, as
// often as "count" says; a document that includes itself, directly or in a
// cycle, stops the build with an error instead of recursing without end.
#include <gtest/gtest.h>

#include <string>

#include "core/builder/BuilderKit.h"
#include "ui/core/VerticalLayoutUI.h"

namespace kvtest {
namespace {

class Include : public BuilderTest {
protected:
    CVerticalLayoutUI* Make(const wchar_t* xml) { return static_cast<CVerticalLayoutUI*>(BuilderTest::Make(xml)); }

    static std::string Names(CVerticalLayoutUI* layout) {
        std::string names;
        for (int i = 0; i < layout->GetCount(); ++i) names += Narrow(layout->GetItemAt(i)->GetName().GetData()) + " ";
        return names;
    }
};

TEST_F(Include, TheIncludedControlsJoinTheParentCountTimes) {
    WriteSkin("row.xml", "<Window><Control name=\"x\" /><Control name=\"y\" /></Window>");
    CVerticalLayoutUI* root =
        Make(L"<Window><VerticalLayout><Control name=\"a\" /><Include source=\"row.xml\" count=\"3\" />"
             L"<Control name=\"b\" /></VerticalLayout></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ("a x y x y x y b ", Names(root));
}

TEST_F(Include, TheIncludedDocumentsDeclarationsAndWindowAttributesApply) {
    WriteSkin("part.xml", "<Window mininfo=\"71,72\"><Style name=\"from_part\" value=\"v\" /><Control /></Window>");
    Make(L"<Window><VerticalLayout><Include source=\"part.xml\" /></VerticalLayout></Window>");
    EXPECT_EQ(72, host.manager.GetMinInfo().cy);
    EXPECT_STREQ(L"v", host.manager.GetStyle(L"from_part"));
}

TEST_F(Include, WithoutSourceOrAttributesNothingHappens) {
    CVerticalLayoutUI* root = Make(L"<Window><VerticalLayout><Include /><Include count=\"2\" />"
                                   L"<Control name=\"only\" /></VerticalLayout></Window>");
    EXPECT_EQ("only ", Names(root));
}

TEST_F(Include, TheSourceMayBeMarkupText) {
    CVerticalLayoutUI* root = Make(L"<Window><VerticalLayout>"
                                   L"<Include source=\"&lt;Window&gt;&lt;Control name=&quot;t&quot; /&gt;&lt;/Window&gt;\" count=\"2\" />"
                                   L"</VerticalLayout></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(2, root->GetCount());
}

TEST_F(Include, AMissingIncludedFileMakesNothingAndTheRestIsBuilt) {
    CVerticalLayoutUI* root =
        Make(L"<Window><VerticalLayout><Include source=\"missing.xml\" /><Control name=\"c\" /></VerticalLayout></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ("c ", Names(root));
}

TEST_F(Include, AtTopLevelWithoutParentTheFirstControlIsTheResult) {
    WriteSkin("body.xml", "<Window><VerticalLayout name=\"body\" /><Probe /></Window>");
    const int before = ProbeUI::Alive();
    CControlUI* root = Make(L"<Window><Include source=\"body.xml\" /><Probe /></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_STREQ(L"body", root->GetName());
    EXPECT_EQ(before, ProbeUI::Alive());  // the extra top-level probes were freed
}

TEST_F(Include, AFileThatIncludesItselfStopsWithAnError) {
    WriteSkin("self.xml", "<Window><VerticalLayout><Probe /><Include source=\"self.xml\" /></VerticalLayout></Window>");
    const int before = ProbeUI::Alive();
    EXPECT_EQ(nullptr, Make(L"self.xml"));
    EXPECT_NE(std::wstring::npos, std::wstring(builder.GetLastErrorMessage()).find(L"self.xml"));
    EXPECT_EQ(before, ProbeUI::Alive());
}

TEST_F(Include, ACycleThroughOtherFilesStopsWithAnErrorWhateverTheNamesLetterCase) {
    WriteSkin("ping.xml", "<Window><VerticalLayout><Include source=\"sub\\pong.xml\" /></VerticalLayout></Window>");
    RunUnix({"mkdir", "-p", WorkDirUnix() + "/sub"});
    WriteSkin("sub/pong.xml", "<Window><VerticalLayout><Include source=\"PING.xml\" /></VerticalLayout></Window>");
    const int before = ProbeUI::Alive();
    EXPECT_EQ(nullptr, Make(L"<Window><VerticalLayout><Probe /><Include source=\"ping.xml\" /></VerticalLayout></Window>"));
    EXPECT_NE(std::wstring::npos, std::wstring(builder.GetLastErrorMessage()).find(L"Include cycle"));
    EXPECT_EQ(before, ProbeUI::Alive());
}

TEST_F(Include, TheSameFileTwiceSideBySideIsNoCycle) {
    WriteSkin("leaf.xml", "<Window><Control name=\"leaf\" /></Window>");
    WriteSkin("pair.xml", "<Window><VerticalLayout><Include source=\"leaf.xml\" /><Include source=\"leaf.xml\" />"
                          "</VerticalLayout></Window>");
    CVerticalLayoutUI* root = Make(L"pair.xml");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ("leaf leaf ", Names(root));
}

TEST_F(Include, InAResourceDocumentTheSourceIsAResourceIdOfTheSameType) {
    built.reset(builder.Create(MAKEINTRESOURCE(201), L"SKINXML", nullptr, &host.manager));
    auto* root = static_cast<CVerticalLayoutUI*>(built.get());
    ASSERT_NE(nullptr, root);
    EXPECT_STREQ(L"res_root", root->GetName());
    EXPECT_EQ("part part ", Names(root));
    EXPECT_EQ(61, host.manager.GetMinInfo().cx);
}

TEST_F(Include, AResourceThatIncludesItselfStopsWithAnError) {
    EXPECT_EQ(nullptr, builder.Create(MAKEINTRESOURCE(203), L"SKINXML", nullptr, &host.manager));
    EXPECT_NE(std::wstring::npos, std::wstring(builder.GetLastErrorMessage()).find(L"Include cycle"));
}

}  // namespace
}  // namespace kvtest
