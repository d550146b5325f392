// Archives encrypted with the traditional PKWARE scheme (zip -P).
#include "core/zip/ZipKit.h"

#include "support/TestKit.h"

#include <gtest/gtest.h>

using namespace KvUI;
using ziptest::ZipPtr;

namespace {

// "deflated.xml" is compressed, "stored.txt" is stored (-n .txt), both
// encrypted; "plain.cfg" is added afterwards without a password.
struct EncryptedArchive {
    std::string xml = ziptest::MixedText(50000, 7);
    std::string stored = ziptest::MixedText(3000, 8);
    std::string plain = "not encrypted";
    std::string zipPath;
    std::vector<char> bytes;

    EncryptedArchive() {
        const std::string tree = ziptest::WriteTree("encrypted", {{"deflated.xml", xml}, {"stored.txt", stored}});
        zipPath = ziptest::InfoZip(tree, {"-n", ".txt", "-P", "secret"});
        kvtest::WriteFileText(kvtest::WorkDirUnix() + "/plain.cfg", plain);
        ziptest::Run({"zip", "-q", zipPath, "plain.cfg"}, kvtest::WorkDirUnix());
        bytes = kvtest::ReadFileBytes(zipPath);
    }
    ZipPtr Open(const char* password) const { return ziptest::OpenBytes(bytes, password); }
};

const EncryptedArchive& Encrypted() {
    static const EncryptedArchive archive;
    return archive;
}

}  // namespace

TEST(ZipPassword, WrongPasswordFailsOnExtractionNotOnOpen) {
    const ZipPtr zip = Encrypted().Open("wrong");
    ASSERT_TRUE(zip);
    EXPECT_EQ(ZR_OK, GetLastZipResult());
    for (const wchar_t* name : {L"deflated.xml", L"stored.txt"}) {
        ZRESULT last = ZR_OK;
        ziptest::ReadEntry(zip.get(), name, 1024, &last);
        EXPECT_EQ(ZR_PASSWORD, last) << kvtest::Narrow(name);
    }
}

TEST(ZipPassword, RightPasswordExtractsEncryptedAndPlainEntries) {
    const ZipPtr zip = Encrypted().Open("secret");
    ASSERT_TRUE(zip);
    struct Case {
        const wchar_t* name;
        const std::string& content;
    };
    for (const Case& c : {Case{L"deflated.xml", Encrypted().xml}, Case{L"stored.txt", Encrypted().stored},
                          Case{L"plain.cfg", Encrypted().plain}}) {
        for (unsigned chunk : {100000u, 777u}) {
            ZRESULT last = ZR_ARGS;
            EXPECT_EQ(c.content, ziptest::ReadEntry(zip.get(), c.name, chunk, &last)) << kvtest::Narrow(c.name);
            EXPECT_EQ(ZR_OK, last) << kvtest::Narrow(c.name) << " " << chunk;
        }
    }
}

TEST(ZipPassword, EncryptedEntryWithoutPasswordIsAWrongPassword) {
    const ZipPtr zip = Encrypted().Open(nullptr);
    ASSERT_TRUE(zip);
    ZRESULT last = ZR_OK;
    ziptest::ReadEntry(zip.get(), L"deflated.xml", 1024, &last);
    EXPECT_EQ(ZR_PASSWORD, last);
    EXPECT_EQ(Encrypted().plain, ziptest::ReadEntry(zip.get(), L"plain.cfg", 1024, &last));
    EXPECT_EQ(ZR_OK, last);
}

TEST(ZipPassword, WrongPasswordLeavesAnExistingTargetFileAlone) {
    const std::string dir = kvtest::FreshDirUnix("wrong-password-target");
    kvtest::WriteFileText(dir + "/keep.xml", "previous contents");
    const ZipPtr zip = Encrypted().Open("wrong");
    ASSERT_TRUE(zip);
    const int index = ziptest::IndexOf(zip.get(), L"deflated.xml");
    ASSERT_GE(index, 0);
    const std::wstring target = kvtest::ToWindowsPath(dir + "/keep.xml");
    EXPECT_EQ(ZR_PASSWORD, UnzipItem(zip.get(), index, const_cast<wchar_t*>(target.c_str()), 0, ZIP_FILENAME));
    EXPECT_EQ("previous contents", ziptest::FileText(dir + "/keep.xml"));

    const ZipPtr right = Encrypted().Open("secret");
    ASSERT_EQ(ZR_OK, UnzipItem(right.get(), index, const_cast<wchar_t*>(target.c_str()), 0, ZIP_FILENAME));
    EXPECT_EQ(Encrypted().xml, ziptest::FileText(dir + "/keep.xml"));
}

TEST(ZipPassword, CheckByteComesFromTheCrcWithoutADataDescriptor) {
    // Written by hand: Info-ZIP always uses a data descriptor with encryption, other
    // tools that know the CRC up front do not, and their check byte is the CRC's.
    const std::string zipPath = ziptest::PythonZip("crc-checked", R"(
def crc_step(c, b):
    return ~zlib.crc32(bytes([b]), ~c & 0xffffffff) & 0xffffffff

class Keys:
    def __init__(self, password):
        self.k = [0x12345678, 0x23456789, 0x34567890]
        for b in password:
            self.update(b)
    def update(self, b):
        self.k[0] = crc_step(self.k[0], b)
        self.k[1] = ((self.k[1] + (self.k[0] & 0xff)) * 134775813 + 1) & 0xffffffff
        self.k[2] = crc_step(self.k[2], self.k[1] >> 24)
    def encrypt(self, data):
        out = bytearray()
        for b in data:
            t = (self.k[2] | 2) & 0xffff
            out.append(b ^ (((t * (t ^ 1)) >> 8) & 0xff))
            self.update(b)
        return bytes(out)

data = b'checked against the CRC ' * 40
crc = zlib.crc32(data)
body = Keys(b'secret').encrypt(bytes(range(11)) + bytes([crc >> 24]) + data)
name = b'crc-checked.txt'
local = struct.pack('<IHHHHHIIIHH', 0x04034b50, 20, 1, 0, 0, 0x21, crc, len(body), len(data), len(name), 0) + name
central = struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 20, 20, 1, 0, 0, 0x21, crc, len(body), len(data),
                      len(name), 0, 0, 0, 0, 0, 0) + name
end = struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, 1, 1, len(central), len(local) + len(body), 0)
open(out, 'wb').write(local + body + central + end)
)");
    const std::vector<char> bytes = kvtest::ReadFileBytes(zipPath);
    std::string expected;
    for (int i = 0; i < 40; ++i) expected += "checked against the CRC ";
    for (const char* password : {"secret", "wrong", "Secret", "secret2"}) {
        const ZipPtr zip = ziptest::OpenBytes(bytes, password);
        ASSERT_TRUE(zip) << password;
        ZRESULT last = ZR_ARGS;
        const std::string got = ziptest::ReadEntry(zip.get(), L"crc-checked.txt", 4096, &last);
        if (std::string(password) == "secret") {
            EXPECT_EQ(ZR_OK, last);
            EXPECT_EQ(expected, got);
        } else {
            EXPECT_EQ(ZR_PASSWORD, last) << password;
        }
    }
}
