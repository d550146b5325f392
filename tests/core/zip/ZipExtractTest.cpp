// Extraction to files: where names land, folders, attributes and times.
#include "core/zip/ZipKit.h"

#include "support/TestKit.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

using namespace KvUI;
using ziptest::FileText;

namespace {

// Relative target names are taken against the folder current when the archive opens.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& folder) {
        wchar_t saved[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, saved);
        m_saved = saved;
        SetCurrentDirectoryW(folder.c_str());
    }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;
    ~CurrentFolder() { SetCurrentDirectoryW(m_saved.c_str()); }

private:
    std::wstring m_saved;
};

ULONGLONG Ticks(const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

ULONGLONG UnixTicks(long long seconds) { return static_cast<ULONGLONG>(seconds + 11644473600LL) * 10000000ULL; }

std::set<std::string> FolderContents(const std::string& unixFolder) {
    std::set<std::string> names;
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW((kvtest::ToWindowsPath(unixFolder) + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.insert(kvtest::Narrow(name));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

// Opens `zipPath` (read into `bytes`) with `unixFolder`, if given, as the current folder.
ZRESULT OpenArchive(ZipArchive& archive, std::vector<char>& bytes, const std::string& zipPath,
                    const std::string& unixFolder = {}) {
    bytes = kvtest::ReadFileBytes(zipPath);
    if (unixFolder.empty()) return archive.Open(bytes.data(), static_cast<unsigned>(bytes.size()), ZIP_MEMORY);
    const CurrentFolder inFolder(kvtest::ToWindowsPath(unixFolder));
    return archive.Open(bytes.data(), static_cast<unsigned>(bytes.size()), ZIP_MEMORY);
}

// Extracts every entry under its own (confined) name; the entries in order.
std::vector<ZipEntry> ExtractAll(ZipArchive& archive) {
    std::vector<ZipEntry> entries;
    ZipEntry entry;
    EXPECT_EQ(ZR_OK, archive.GetItem(-1, &entry));
    const int count = entry.index;
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(ZR_OK, archive.GetItem(i, &entry));
        EXPECT_EQ(ZR_OK, archive.Unzip(i, entry.name, 0, ZIP_FILENAME)) << kvtest::Narrow(entry.name);
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace

TEST(ZipFileExtraction, NamesWithParentStepsStayInsideTheTargetFolder) {
    const std::string zipPath = ziptest::PythonZip("escape", R"(
names = ['../../up2.txt', '..\\back.txt', 'inner/../../../up3.txt', '/rooted.txt', 'C:/drive.txt',
         'ok/normal.txt', '../ok/../deep/x.txt', 'C:..\\..\\mixed.txt', '//server/share/unc.txt']
with zipfile.ZipFile(out, 'w') as z:
    for n in names:
        z.writestr(zipfile.ZipInfo(n), n.encode())
)");
    const char* const expected[] = {"up2.txt",       "back.txt",   "up3.txt",   "rooted.txt",          "drive.txt",
                                    "ok/normal.txt", "deep/x.txt", "mixed.txt", "server/share/unc.txt"};
    const std::string top = kvtest::FreshDirUnix("escape");
    const std::string target = top + "/mid/target";
    ziptest::Run({"mkdir", "-p", target});

    ZipArchive archive(nullptr);
    std::vector<char> bytes;
    ASSERT_EQ(ZR_OK, OpenArchive(archive, bytes, zipPath, target));
    const std::vector<ZipEntry> entries = ExtractAll(archive);
    ASSERT_EQ(std::size(expected), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(expected[i], kvtest::Narrow(entries[i].name));
        EXPECT_NE(INVALID_FILE_ATTRIBUTES,
                  GetFileAttributesW(kvtest::ToWindowsPath(target + "/" + expected[i]).c_str()))
            << expected[i];
    }
    EXPECT_EQ(std::set<std::string>{"mid"}, FolderContents(top));
    EXPECT_EQ(std::set<std::string>{"target"}, FolderContents(top + "/mid"));
}

TEST(ZipFileExtraction, FoldersAndFilesAreCreatedUnderTheFolderCurrentAtOpening) {
    const std::vector<ziptest::File> files{
        {"skin/MainFrame.xml", "<Window/>"},
        {"skin/img/deep/icon.txt", "icon"},
    };
    const std::string tree = ziptest::WriteTree("tree", files);
    ziptest::Run({"mkdir", "-p", tree + "/skin/empty"});
    const std::string zipPath = ziptest::InfoZip(tree);
    const std::string base = kvtest::FreshDirUnix("tree-out");

    ZipArchive archive(nullptr);
    std::vector<char> bytes;
    ASSERT_EQ(ZR_OK, OpenArchive(archive, bytes, zipPath, base));
    ExtractAll(archive);
    EXPECT_EQ("<Window/>", FileText(base + "/skin/MainFrame.xml"));
    EXPECT_EQ("icon", FileText(base + "/skin/img/deep/icon.txt"));
    const DWORD empty = GetFileAttributesW(kvtest::ToWindowsPath(base + "/skin/empty").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, empty);
    EXPECT_TRUE(empty & FILE_ATTRIBUTE_DIRECTORY);

    // An absolute target name is used as given, its missing folders made.
    const std::string elsewhere = kvtest::FreshDirUnix("tree-absolute") + "/not/yet/there";
    int index = -1;
    ZipEntry entry;
    ASSERT_EQ(ZR_OK, archive.FindItem(L"skin/img/deep/icon.txt", false, &index, &entry));
    std::wstring absolute = kvtest::ToWindowsPath(elsewhere) + L"\\icon.txt";
    EXPECT_EQ(ZR_OK, archive.Unzip(index, absolute.data(), 0, ZIP_FILENAME));
    EXPECT_EQ("icon", FileText(elsewhere + "/icon.txt"));
}

TEST(ZipFileExtraction, ExtendedTimestampsAndReadOnlyReachTheFile) {
    const std::string tree = ziptest::WriteTree("stamped", {{"stamped.txt", "stamped"}, {"readonly.txt", "ro"}});
    ziptest::Run({"touch", "-m", "-d", "@981173106", tree + "/stamped.txt"});
    ziptest::Run({"touch", "-a", "-d", "@1012709106", tree + "/stamped.txt"});
    ziptest::Run({"chmod", "444", tree + "/readonly.txt"});
    const std::string zipPath = ziptest::InfoZip(tree);
    const std::string out = kvtest::FreshDirUnix("stamped-out");

    ZipArchive archive(nullptr);
    std::vector<char> bytes;
    ASSERT_EQ(ZR_OK, OpenArchive(archive, bytes, zipPath, out));
    int index = -1;
    ZipEntry entry;
    ASSERT_EQ(ZR_OK, archive.FindItem(L"stamped.txt", false, &index, &entry));
    EXPECT_EQ(UnixTicks(981173106), Ticks(entry.mtime));
    EXPECT_EQ(UnixTicks(1012709106), Ticks(entry.atime));
    EXPECT_EQ(0u, entry.attr & FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(ZR_OK, archive.Unzip(index, entry.name, 0, ZIP_FILENAME));

    const HANDLE file = CreateFileW(kvtest::ToWindowsPath(out + "/stamped.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    FILETIME created{}, accessed{}, modified{};
    EXPECT_TRUE(GetFileTime(file, &created, &accessed, &modified));
    CloseHandle(file);
    EXPECT_EQ(UnixTicks(981173106), Ticks(modified));
    EXPECT_EQ(UnixTicks(1012709106), Ticks(accessed));

    ASSERT_EQ(ZR_OK, archive.FindItem(L"readonly.txt", false, &index, &entry));
    EXPECT_TRUE(entry.attr & FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(ZR_OK, archive.Unzip(index, entry.name, 0, ZIP_FILENAME));
    const DWORD attributes = GetFileAttributesW(kvtest::ToWindowsPath(out + "/readonly.txt").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ("ro", FileText(out + "/readonly.txt"));
}

TEST(ZipFileExtraction, WithoutExtendedTimestampsTheDosTimeIsUsed) {
    const std::string tree = ziptest::WriteTree("dos-time", {{"plain.txt", "plain"}});
    ziptest::Run({"touch", "-d", "@981173106", tree + "/plain.txt"});
    const std::string zipPath = ziptest::InfoZip(tree, {"-X"});
    ZipArchive archive(nullptr);
    std::vector<char> bytes;
    ASSERT_EQ(ZR_OK, OpenArchive(archive, bytes, zipPath));
    int index = -1;
    ZipEntry entry;
    ASSERT_EQ(ZR_OK, archive.FindItem(L"plain.txt", false, &index, &entry));
    // DOS times count in two-second steps of local time; both sides share the time zone.
    const ULONGLONG expected = UnixTicks(981173106);
    EXPECT_LE(Ticks(entry.mtime) > expected ? Ticks(entry.mtime) - expected : expected - Ticks(entry.mtime), 20000000u);
    EXPECT_EQ(Ticks(entry.mtime), Ticks(entry.atime));
    EXPECT_EQ(Ticks(entry.mtime), Ticks(entry.ctime));
}

TEST(ZipFileExtraction, DosHostEntriesKeepTheirDosAttributes) {
    const std::string zipPath = ziptest::PythonZip("dos-attributes", R"(
def add(z, name, system, attr, data=b'x'):
    zi = zipfile.ZipInfo(name)
    zi.create_system = system
    zi.external_attr = attr
    z.writestr(zi, data)
with zipfile.ZipFile(out, 'w') as z:
    add(z, 'dos-ro-hidden.txt', 0, 0x23)
    add(z, 'dos-system.txt', 0, 0x24)
    add(z, 'dos-folder/', 0, 0x10, b'')
    add(z, 'ntfs-plain.txt', 11, 0x20)
    add(z, 'vfat-plain.txt', 14, 0x01)
    add(z, 'unix-ro.txt', 3, 0o100444 << 16)
    add(z, 'unix-rw.txt', 3, 0o100644 << 16)
    add(z, 'unix-folder/', 3, 0o40755 << 16, b'')
)");
    const DWORD expected[] = {0x23, 0x24, 0x10, 0x20, 0x01, 0x21, 0x20, 0x30};
    const std::string out = kvtest::FreshDirUnix("dos-attributes-out");
    ZipArchive archive(nullptr);
    std::vector<char> bytes;
    ASSERT_EQ(ZR_OK, OpenArchive(archive, bytes, zipPath, out));
    const std::vector<ZipEntry> entries = ExtractAll(archive);
    ASSERT_EQ(std::size(expected), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(expected[i], entries[i].attr) << kvtest::Narrow(entries[i].name);
    }
    const DWORD folder = GetFileAttributesW(kvtest::ToWindowsPath(out + "/dos-folder").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, folder);
    EXPECT_TRUE(folder & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(GetFileAttributesW(kvtest::ToWindowsPath(out + "/dos-ro-hidden.txt").c_str()) &
                FILE_ATTRIBUTE_READONLY);
}

TEST(ZipFileExtraction, IndexOutsideTheArchiveIsABadArgumentForFileTargets) {
    const std::string tree = ziptest::WriteTree("range", {{"only.txt", "one"}});
    const std::string zipPath = ziptest::InfoZip(tree);
    const std::string out = kvtest::FreshDirUnix("range-out");
    ZipArchive archive(nullptr);
    std::vector<char> bytes;
    ASSERT_EQ(ZR_OK, OpenArchive(archive, bytes, zipPath));
    std::wstring target = kvtest::ToWindowsPath(out + "/x.txt");
    const HANDLE file = CreateFileW(kvtest::ToWindowsPath(out + "/handle.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    for (int index : {1, 2, -1, -2, INT_MIN, INT_MAX}) {
        EXPECT_EQ(ZR_ARGS, archive.Unzip(index, target.data(), 0, ZIP_FILENAME)) << index;
        EXPECT_EQ(ZR_ARGS, archive.Unzip(index, file, 0, ZIP_HANDLE)) << index;
    }
    EXPECT_EQ(ZR_ARGS, archive.Unzip(0, nullptr, 0, ZIP_FILENAME));
    CloseHandle(file);
    EXPECT_EQ(std::set<std::string>{"handle.txt"}, FolderContents(out));
}

TEST(ZipFileExtraction, OpenHandleTargetReceivesTheEntryAndItsTimes) {
    const std::string tree = ziptest::WriteTree("to-handle", {{"data.xml", ziptest::MixedText(40000, 9)}});
    ziptest::Run({"mkdir", "-p", tree + "/folder"});
    ziptest::Run({"touch", "-d", "@981173106", tree + "/data.xml"});
    const std::string zipPath = ziptest::InfoZip(tree);
    const std::string out = kvtest::FreshDirUnix("to-handle-out");
    ZipArchive archive(nullptr);
    std::vector<char> bytes;
    ASSERT_EQ(ZR_OK, OpenArchive(archive, bytes, zipPath, out));
    const HANDLE file = CreateFileW(kvtest::ToWindowsPath(out + "/copy.xml").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    int index = -1;
    ZipEntry entry;
    ASSERT_EQ(ZR_OK, archive.FindItem(L"folder/", false, &index, &entry));
    EXPECT_EQ(ZR_OK, archive.Unzip(index, file, 0, ZIP_HANDLE));
    ASSERT_EQ(ZR_OK, archive.FindItem(L"data.xml", false, &index, &entry));
    EXPECT_EQ(ZR_OK, archive.Unzip(index, file, 0, ZIP_HANDLE));
    FILETIME modified{};
    EXPECT_TRUE(GetFileTime(file, nullptr, nullptr, &modified));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(UnixTicks(981173106), Ticks(modified));
    EXPECT_EQ(ziptest::MixedText(40000, 9), FileText(out + "/copy.xml"));
    // The handle target made no folder of its own.
    EXPECT_EQ(std::set<std::string>{"copy.xml"}, FolderContents(out));
}
