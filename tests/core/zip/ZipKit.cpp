#include "core/zip/ZipKit.h"

#include "support/TestKit.h"

#include <algorithm>
#include <stdexcept>

namespace ziptest {

void Run(const std::vector<std::string>& argv, const std::string& cwd) {
    const int code = kvtest::RunUnix(argv, cwd);
    if (code != 0) {
        std::string line;
        for (const std::string& a : argv) line += a + " ";
        throw std::runtime_error("'" + line + "' exited with " + std::to_string(code));
    }
}

std::string WriteTree(const std::string& name, const std::vector<File>& files) {
    const std::string dir = kvtest::FreshDirUnix(name);
    for (const File& f : files) {
        const size_t slash = f.path.rfind('/');
        if (slash != std::string::npos) Run({"mkdir", "-p", dir + "/" + f.path.substr(0, slash)});
        kvtest::WriteFileText(dir + "/" + f.path, f.content);
    }
    return dir;
}

std::string InfoZip(const std::string& tree, const std::vector<std::string>& options) {
    const std::string zip = tree + ".zip";
    Run({"rm", "-f", zip});
    std::vector<std::string> argv{"zip", "-q", "-r"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(zip);
    argv.push_back(".");
    Run(argv, tree);
    return zip;
}

std::string PythonZip(const std::string& name, const std::string& body) {
    const std::string zip = kvtest::WorkDirUnix() + "/" + name + ".zip";
    const std::string script = kvtest::WorkDirUnix() + "/" + name + ".py";
    kvtest::WriteFileText(script, "import zipfile, zlib, struct\nout = '" + zip + "'\n" + body + "\n");
    Run({"rm", "-f", zip});
    Run({"python3", script});
    return zip;
}

std::string MixedText(size_t size, unsigned seed) {
    static const char* const words[] = {"<Button ",
                                        "name=\"btn_ok\" ",
                                        "width=\"80\" ",
                                        "text=\"OK\" ",
                                        "normalimage=\"file='btn.png' source='0,0,80,30'\" ",
                                        "/>\n",
                                        "<HorizontalLayout>",
                                        "</HorizontalLayout>\n",
                                        "padding=\"4,4,4,4\" "};
    std::string out;
    out.reserve(size + 64);
    unsigned state = seed * 2654435761u + 1;
    while (out.size() < size) {
        state = state * 1103515245u + 12345u;
        out += words[(state >> 16) % (sizeof words / sizeof *words)];
        if ((state >> 8) % 7 == 0) out += std::to_string(state % 100000);
    }
    out.resize(size);
    return out;
}

std::string ReadEntry(KvUI::HZIP zip, const wchar_t* name, unsigned int chunk, KvUI::ZRESULT* last) {
    int index = -1;
    KvUI::ZipEntry entry;
    std::string out;
    KvUI::ZRESULT result = KvUI::FindZipItem(zip, name, false, &index, &entry);
    const size_t size = static_cast<size_t>(entry.uncompressedSize);
    std::vector<char> buffer(chunk);
    if (result != KvUI::ZR_OK) {
        if (last) *last = result;
        return out;
    }
    // Bounded: a damaged entry must not keep a test looping.
    for (int calls = 0; calls < 100000; ++calls) {
        result = KvUI::UnzipItemToMemory(zip, index, buffer.data(), chunk);
        if (result != KvUI::ZR_OK && result != KvUI::ZR_MORE) break;
        // Only the entry's size tells how much of the last buffer is data.
        out.append(buffer.data(), std::min<size_t>(chunk, size - std::min(out.size(), size)));
        if (result == KvUI::ZR_OK) break;
    }
    if (last) *last = result;
    return out;
}

std::string FileText(const std::string& unixPath) {
    const std::vector<char> bytes = kvtest::ReadFileBytes(unixPath);
    return {bytes.begin(), bytes.end()};
}

ZipPtr OpenBytes(const std::vector<char>& bytes, const char* password) {
    return ZipPtr(KvUI::OpenZipMemory(bytes.data(), static_cast<unsigned>(bytes.size()), password));
}

int IndexOf(KvUI::HZIP zip, const wchar_t* name) {
    int index = -1;
    KvUI::ZipEntry entry;
    KvUI::FindZipItem(zip, name, false, &index, &entry);
    return index;
}

}  // namespace ziptest
