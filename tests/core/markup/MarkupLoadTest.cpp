#include "ui/core/Markup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/TestKit.h"
#include "ui/core/PaintManagerUI.h"

using KvUI::CMarkup;
using KvUI::CMarkupNode;
using KvUI::CPaintManagerUI;

namespace {

// "宠物店" (pet shop), the client's own words for its product.
const wchar_t kPetShop[] = L"\u5BA0\u7269\u5E97";
const char kPetShopUtf8[] = "\xE5\xAE\xA0\xE7\x89\xA9\xE5\xBA\x97";

const BYTE* Bytes(const std::string& s) { return reinterpret_cast<const BYTE*>(s.data()); }

// Root name, its attributes and its children's names, to compare loads.
std::wstring Describe(const CMarkup& doc) {
    const CMarkupNode root = doc.GetRoot();
    if (!root.IsValid()) return L"(none)";
    std::wstring out = root.GetName();
    for (int i = 0; i < root.GetAttributeCount(); ++i) {
        out += L" " + std::wstring(root.GetAttributeName(i)) + L"=" + root.GetAttributeValue(i);
    }
    for (CMarkupNode child = root.GetChild(); child.IsValid(); child = child.GetSibling()) {
        out += L" <" + std::wstring(child.GetName()) + L">";
    }
    return out;
}

std::string Utf16Bytes(const std::wstring& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
        const char lo = static_cast<char>(c & 0xFF);
        const char hi = static_cast<char>(c >> 8);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

// A page the process may only read, like a module's resource data.
class ReadOnlyPage {
public:
    explicit ReadOnlyPage(const std::string& bytes) : m_size(bytes.size()) {
        m_page = static_cast<BYTE*>(VirtualAlloc(nullptr, m_size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        std::memcpy(m_page, bytes.data(), m_size);
        DWORD old = 0;
        VirtualProtect(m_page, m_size, PAGE_READONLY, &old);
    }
    ~ReadOnlyPage() { VirtualFree(m_page, 0, MEM_RELEASE); }
    const BYTE* data() const { return m_page; }
    size_t size() const { return m_size; }

private:
    BYTE* m_page = nullptr;
    size_t m_size = 0;
};

const std::wstring kSkin = std::wstring(L"<Window caption=\"") + kPetShop + L"\"><Label/><Button/></Window>";

}  // namespace

TEST(MarkupLoadFromMem, Utf8WithAndWithoutByteOrderMarkGiveTheSameElements) {
    const std::string plain = std::string("<Window caption=\"") + kPetShopUtf8 + "\"><Label/><Button/></Window>";
    const std::string marked = "\xEF\xBB\xBF" + plain;
    CMarkup a, b;
    ASSERT_TRUE(a.LoadFromMem(Bytes(plain), plain.size(), KvUI::MarkupEncodingUtf8));
    ASSERT_TRUE(b.LoadFromMem(Bytes(marked), marked.size(), KvUI::MarkupEncodingUtf8));
    EXPECT_EQ(L"Window caption=" + std::wstring(kPetShop) + L" <Label> <Button>", Describe(a));
    EXPECT_EQ(Describe(a), Describe(b));
}

TEST(MarkupLoadFromMem, DecodesUtf8AsTheSystemDoesInvalidBytesIncluded) {
    // Valid and broken sequences, cut ones and stray continuation bytes, mixed with ASCII.
    const unsigned char pieces[][5] = {
        {'a', 0}, {'Z', ' ', 0}, {'1', '2', '3', '4', 0}, {0xE5, 0xAE, 0xA0, 0}, {0xC3, 0xA9, 0},
        {0xF0, 0x9F, 0x90, 0xB6, 0}, {0xE5, 0xAE, 0}, {0x80, 0}, {0xBF, 0xBF, 0}, {0xC0, 0xAF, 0},
        {0xED, 0xA0, 0x80, 0}, {0xF4, 0x90, 0x80, 0x80, 0}, {0xFF, 0}, {0xFE, 0}, {0xF0, 0x9F, 0},
        // The edges of each sequence length, and overlong forms just below them.
        {0xC2, 0x80, 0}, {0xDF, 0xBF, 0}, {0xC1, 0xBF, 0}, {0xE0, 0xA0, 0x80, 0}, {0xE0, 0x9F, 0xBF, 0},
        {0xED, 0x9F, 0xBF, 0}, {0xEE, 0x80, 0x80, 0}, {0xEF, 0xBF, 0xBF, 0}, {0xF0, 0x90, 0x80, 0x80, 0},
        {0xF0, 0x8F, 0xBF, 0xBF, 0}, {0xF4, 0x8F, 0xBF, 0xBF, 0}, {0xF5, 0x80, 0x80, 0x80, 0}, {0xE5, 'x', 0},
    };
    std::mt19937 random(99);
    CMarkup fromBytes, fromSystem;
    for (int round = 0; round < 600; ++round) {
        std::string value;
        const size_t count = random() % 40;
        for (size_t i = 0; i < count; ++i) value += reinterpret_cast<const char*>(pieces[random() % _countof(pieces)]);
        const std::string xml = "<a v=\"" + value + "\"/>";
        std::wstring wide(xml.size(), L'\0');
        wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, xml.data(), static_cast<int>(xml.size()),
                                                            wide.data(), static_cast<int>(wide.size()))));
        ASSERT_TRUE(fromBytes.LoadFromMem(Bytes(xml), xml.size(), KvUI::MarkupEncodingUtf8)) << round;
        ASSERT_TRUE(fromSystem.Load(wide.c_str())) << round;
        EXPECT_STREQ(fromSystem.GetRoot().GetAttributeValue(0), fromBytes.GetRoot().GetAttributeValue(0)) << round;
    }
}

TEST(MarkupLoadFromMem, Utf16NeedsAByteOrderMarkInEitherByteOrder) {
    CMarkup doc;
    for (const bool bigEndian : {false, true}) {
        const std::string bytes = Utf16Bytes(kSkin, bigEndian);
        ASSERT_TRUE(doc.LoadFromMem(Bytes(bytes), bytes.size(), KvUI::MarkupEncodingUtf16)) << bigEndian;
        EXPECT_EQ(L"Window caption=" + std::wstring(kPetShop) + L" <Label> <Button>", Describe(doc));
        // A last odd byte is not half a character.
        const std::string odd = bytes + "\x20";
        EXPECT_TRUE(doc.LoadFromMem(Bytes(odd), odd.size(), KvUI::MarkupEncodingUtf16));
    }
    const std::string unmarked = Utf16Bytes(kSkin, false).substr(2);
    EXPECT_FALSE(doc.LoadFromMem(Bytes(unmarked), unmarked.size(), KvUI::MarkupEncodingUtf16));
    EXPECT_FALSE(doc.GetRoot().IsValid());
    EXPECT_FALSE(doc.LoadFromMem(Bytes("\xFF"), 1, KvUI::MarkupEncodingUtf16));
    EXPECT_FALSE(doc.LoadFromMem(Bytes(unmarked), unmarked.size(), 7));
}

TEST(MarkupLoadFromMem, NeverWritesIntoTheCallersBytes) {
    // A big-endian text used to be swapped in the caller's buffer: a second
    // load of the same bytes then read garbage, and read-only bytes crashed.
    const std::string bigEndian = Utf16Bytes(kSkin, true);
    std::string writable = bigEndian;
    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromMem(Bytes(writable), writable.size(), KvUI::MarkupEncodingUtf16));
    EXPECT_EQ(bigEndian, writable);

    const ReadOnlyPage page(bigEndian);
    for (int load = 0; load < 2; ++load) {
        ASSERT_TRUE(doc.LoadFromMem(page.data(), page.size(), KvUI::MarkupEncodingUtf16)) << "load " << load;
        EXPECT_EQ(L"Window caption=" + std::wstring(kPetShop) + L" <Label> <Button>", Describe(doc));
    }
    const ReadOnlyPage utf8("\xEF\xBB\xBF<a x=\"&lt;\"/>");
    for (int load = 0; load < 2; ++load) {
        ASSERT_TRUE(doc.LoadFromMem(utf8.data(), utf8.size(), KvUI::MarkupEncodingUtf8));
        EXPECT_EQ(L"a x=<", Describe(doc));
    }
}

TEST(MarkupLoadFromMem, ReadsAnsiBytesInTheChineseCodePage) {
    if (GetACP() != 936) GTEST_SKIP() << "the session's ANSI code page is " << GetACP();
    // "宠物店" in GBK.
    const std::string gbk = "<Label text=\"\xB3\xE8\xCE\xEF\xB5\xEA\"/>";
    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromMem(Bytes(gbk), gbk.size(), KvUI::MarkupEncodingAnsi));
    EXPECT_EQ(L"Label text=" + std::wstring(kPetShop), Describe(doc));
}

// Skin files come from the resource folder, or from the skin zip once one is set.
class MarkupLoadFromFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = kvtest::FreshDirUnix(::testing::UnitTest::GetInstance()->current_test_info()->name());
        CPaintManagerUI::SetResourcePath(kvtest::ToWindowsPath(m_dir).c_str());
    }
    void TearDown() override {
        CPaintManagerUI::Term();
        CPaintManagerUI::SetResourcePath(L"");
    }

    void Write(const std::string& name, const std::string& bytes) {
        const size_t slash = name.rfind('/');
        if (slash != std::string::npos) {
            ASSERT_EQ(0, kvtest::RunUnix({"mkdir", "-p", m_dir + "/" + name.substr(0, slash)}));
        }
        kvtest::WriteFileBytes(m_dir + "/" + name, bytes.data(), bytes.size());
    }

    // Packs the folder's files with Info-ZIP and makes the archive the skin zip.
    void UseZipOfFolder(const std::vector<std::string>& zipOptions = {}, const wchar_t* password = nullptr) {
        const std::string zip = m_dir + ".zip";
        ASSERT_EQ(0, kvtest::RunUnix({"rm", "-f", zip}));
        std::vector<std::string> argv{"/usr/bin/zip", "-q", "-r"};
        argv.insert(argv.end(), zipOptions.begin(), zipOptions.end());
        argv.insert(argv.end(), {zip, "."});
        ASSERT_EQ(0, kvtest::RunUnix(argv, m_dir));
        m_zip = kvtest::ReadFileBytes(zip);
        ASSERT_FALSE(m_zip.empty());
        CPaintManagerUI::SetResourceZip(m_zip.data(), static_cast<int>(m_zip.size()), password);
    }

    // A valid skin of exactly `size` bytes: a root padded with blanks.
    static std::string SkinOfSize(size_t size) {
        std::string skin = "<Window caption=\"a\"/>";
        skin.resize(size, ' ');
        return skin;
    }

    std::string m_dir;
    std::vector<char> m_zip;
};

TEST_F(MarkupLoadFromFile, ReadsFromTheResourceFolderUpTo4MiB) {
    Write("main.xml", "<Window><Label/></Window>");
    Write("exact.xml", SkinOfSize(4194304));
    Write("over.xml", SkinOfSize(4194305));
    Write("empty.xml", "");
    Write("dialogs/setting.xml", "<Window/>");
    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromFile(L"main.xml"));
    EXPECT_EQ(L"Window <Label>", Describe(doc));
    EXPECT_TRUE(doc.LoadFromFile(L"dialogs\\setting.xml"));
    ASSERT_TRUE(doc.LoadFromFile(L"exact.xml"));
    EXPECT_EQ(L"Window caption=a", Describe(doc));

    EXPECT_FALSE(doc.LoadFromFile(L"over.xml"));
    EXPECT_STREQ(L"File too large", doc.GetLastErrorMessage());
    EXPECT_FALSE(doc.GetRoot().IsValid());
    EXPECT_FALSE(doc.LoadFromFile(L"empty.xml"));
    EXPECT_STREQ(L"File is empty", doc.GetLastErrorMessage());
    EXPECT_FALSE(doc.LoadFromFile(L"missing.xml"));
    EXPECT_STREQ(L"Error opening file", doc.GetLastErrorMessage());
    EXPECT_STREQ(L"", doc.GetLastErrorLocation());
}

TEST_F(MarkupLoadFromFile, DecodesTheFileInTheEncodingAskedFor) {
    Write("utf16.xml", Utf16Bytes(kSkin, true));
    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromFile(L"utf16.xml", KvUI::MarkupEncodingUtf16));
    EXPECT_EQ(L"Window caption=" + std::wstring(kPetShop) + L" <Label> <Button>", Describe(doc));
    Write("broken.xml", "<Window><Label></Window>");
    EXPECT_FALSE(doc.LoadFromFile(L"broken.xml"));
    EXPECT_STREQ(L"Unmatched closing tag", doc.GetLastErrorMessage());
}

TEST_F(MarkupLoadFromFile, FindsZipEntriesUnderSlashesInAnyCase) {
    Write("Dialogs/Setting.xml", "<Window><Combo/></Window>");
    Write("MainFrame.xml", "\xEF\xBB\xBF<Window/>");
    Write("empty.xml", "");
    ASSERT_NO_FATAL_FAILURE(UseZipOfFolder());
    // Only the zip counts now: the same files on disk are not read.
    Write("disk.xml", "<Window/>");
    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromFile(L"DIALOGS\\setting.XML")) << doc.GetLastErrorMessage();
    EXPECT_EQ(L"Window <Combo>", Describe(doc));
    ASSERT_TRUE(doc.LoadFromFile(L"mainframe.xml"));
    EXPECT_EQ(L"Window", Describe(doc));
    // Loading the same entry again reads it from its start.
    ASSERT_TRUE(doc.LoadFromFile(L"Dialogs/Setting.xml"));
    EXPECT_EQ(L"Window <Combo>", Describe(doc));

    EXPECT_FALSE(doc.LoadFromFile(L"disk.xml"));
    EXPECT_STREQ(L"Could not find ziped file", doc.GetLastErrorMessage());
    EXPECT_FALSE(doc.LoadFromFile(L"empty.xml"));
    EXPECT_STREQ(L"File is empty", doc.GetLastErrorMessage());
}

TEST_F(MarkupLoadFromFile, RefusesZipEntriesAbove4MiB) {
    Write("exact.xml", SkinOfSize(4194304));
    Write("over.xml", SkinOfSize(4194305));
    ASSERT_NO_FATAL_FAILURE(UseZipOfFolder());
    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromFile(L"exact.xml")) << doc.GetLastErrorMessage();
    EXPECT_EQ(L"Window caption=a", Describe(doc));
    EXPECT_FALSE(doc.LoadFromFile(L"over.xml"));
    EXPECT_STREQ(L"File too large", doc.GetLastErrorMessage());
}

TEST_F(MarkupLoadFromFile, ReadsAnEncryptedZipOnlyWithItsPassword) {
    Write("main.xml", "<Window/>");
    ASSERT_NO_FATAL_FAILURE(UseZipOfFolder({"-P", "secret"}, L"wrong"));
    CMarkup doc;
    EXPECT_FALSE(doc.LoadFromFile(L"main.xml"));
    EXPECT_STREQ(L"Could not unzip file", doc.GetLastErrorMessage());
    CPaintManagerUI::Term();
    CPaintManagerUI::SetResourceZip(m_zip.data(), static_cast<int>(m_zip.size()), L"secret");
    EXPECT_TRUE(doc.LoadFromFile(L"main.xml")) << doc.GetLastErrorMessage();
}

TEST_F(MarkupLoadFromFile, ReportsAZipThatCannotBeOpened) {
    static const char notAZip[] = "this is no zip archive";
    CPaintManagerUI::SetResourceZip(notAZip, sizeof notAZip);
    CMarkup doc;
    EXPECT_FALSE(doc.LoadFromFile(L"main.xml"));
    EXPECT_STREQ(L"Error opening zip file", doc.GetLastErrorMessage());
}
