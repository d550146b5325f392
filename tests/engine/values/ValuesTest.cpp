// The engine's value types: strings, lists and dictionaries, the JSON writer
// and the command line.
#include <gtest/gtest.h>

#include "engine/CefCommandLine.h"
#include "engine/CefProcessMessage.h"
#include "engine/CefValues.h"

namespace kvengine {
namespace {

TEST(CefStringConversion, RoundTripsUtf8AndWideIncludingSurrogatePairs) {
    const std::string utf8 = "a\xE4\xB8\xAD\xF0\x9F\x98\x80";
    const CefString s(utf8);
    EXPECT_EQ(std::wstring(L"a\u4E2D\U0001F600"), s.ToWString());
    EXPECT_EQ(utf8, s.ToString());
    EXPECT_EQ(4u, s.length());
}

TEST(CefStringConversion, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(std::wstring(L"a\uFFFDb"), CefString(std::string("a\xFF" "b")).ToWString());
    EXPECT_EQ(std::wstring(), CefString(static_cast<const char*>(nullptr)).ToWString());
}

TEST(ListValue, ReadingAnotherTypeGivesZeroOrEmpty) {
    CefRefPtr<CefListValue> list = CefListValue::Create();
    list->SetString(0, "7");
    list->SetInt(1, 7);
    EXPECT_EQ(0, list->GetInt(0));
    EXPECT_EQ(CefString(), list->GetString(1));
    EXPECT_EQ(0, list->GetInt(5));
    EXPECT_EQ(VTYPE_INVALID, list->GetType(5));
}

TEST(ListValue, WritingPastTheEndGrowsWithNulls) {
    CefRefPtr<CefListValue> list = CefListValue::Create();
    list->SetInt(2, 1);
    ASSERT_EQ(3u, list->GetSize());
    EXPECT_EQ(VTYPE_NULL, list->GetType(0));
    list->SetSize(1);
    EXPECT_EQ(1u, list->GetSize());
}

TEST(ListValue, ContainersAreStoredAsCopiesSoAListCannotHoldItself) {
    CefRefPtr<CefListValue> list = CefListValue::Create();
    list->SetInt(0, 1);
    ASSERT_TRUE(list->SetList(1, list));
    list->SetInt(0, 2);
    EXPECT_EQ(1, list->GetList(1)->GetInt(0));
    EXPECT_EQ(1u, list->GetList(1)->GetSize());
}

TEST(ProcessMessage, ArgumentListIsTheMessagesOwn) {
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("SetBorder");
    message->GetArgumentList()->SetInt(0, 3);
    EXPECT_EQ(3, message->GetArgumentList()->GetInt(0));
    EXPECT_EQ("SetBorder", message->GetName().ToString());
    CefRefPtr<CefProcessMessage> copy = message->Copy();
    copy->GetArgumentList()->SetInt(0, 4);
    EXPECT_EQ(3, message->GetArgumentList()->GetInt(0));
}

TEST(JsonWriter, WritesCompactlyWithMembersInKeyOrder) {
    CefRefPtr<CefListValue> lines = CefListValue::Create();
    for (int i = 0; i < 2; ++i) {
        CefRefPtr<CefDictionaryValue> line = CefDictionaryValue::Create();
        line->SetString("name", i ? L"\u7EBF\u8DEF\"2\"" : L"one");
        line->SetString("url", "http://a/?x=1&y=<2>");
        line->SetBool("check", i == 1);
        lines->SetDictionary(static_cast<size_t>(i), line);
    }
    CefRefPtr<CefValue> value = CefValue::Create();
    value->SetList(lines);
    EXPECT_EQ("[{\"check\":false,\"name\":\"one\",\"url\":\"http://a/?x=1&y=<2>\"},"
              "{\"check\":true,\"name\":\"\xE7\xBA\xBF\xE8\xB7\xAF\\\"2\\\"\",\"url\":\"http://a/?x=1&y=<2>\"}]",
              CefWriteJSON(value, JSON_WRITER_DEFAULT).ToString());
}

TEST(JsonWriter, NumbersThatAreNotFiniteCannotBeWritten) {
    CefRefPtr<CefValue> value = CefValue::Create();
    value->SetDouble(1.0 / 0.0 * 0.0);
    EXPECT_TRUE(CefWriteJSON(value).empty());
    value->SetInt(-5);
    EXPECT_EQ("-5", CefWriteJSON(value).ToString());
}

TEST(CommandLine, SwitchesWithAndWithoutValuesAndTheirOwnDashes) {
    CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
    line->InitFromString(L"\"C:\\Program Files\\k.exe\" --Type=renderer -flag file.txt");
    EXPECT_EQ(L"C:\\Program Files\\k.exe", line->GetProgram().ToWString());
    EXPECT_EQ(L"renderer", line->GetSwitchValue("type").ToWString());
    EXPECT_TRUE(line->HasSwitch("flag"));
    line->AppendSwitch("--disable-web-security");
    line->AppendSwitchWithValue("ppapi-flash-path", "ppflash\\25_0_0_127\\pepflashplayer32_25_0_0_127.dll");
    EXPECT_TRUE(line->HasSwitch("disable-web-security"));

    CefRefPtr<CefCommandLine> again = CefCommandLine::CreateCommandLine();
    again->InitFromString(line->GetCommandLineString());
    EXPECT_EQ(L"ppflash\\25_0_0_127\\pepflashplayer32_25_0_0_127.dll",
              again->GetSwitchValue("ppapi-flash-path").ToWString());
    std::vector<CefString> arguments;
    again->GetArguments(arguments);
    ASSERT_EQ(1u, arguments.size());
    EXPECT_EQ(L"file.txt", arguments[0].ToWString());
}

}  // namespace
}  // namespace kvengine
