#pragma once
// Archives for the zip tests, made at test time by Info-ZIP's zip and by
// Python's zipfile, and small helpers around the handle-based functions.
#include "ui/core/ZipArchive.h"

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace ziptest {

struct File {
    std::string path;  // relative, "/" separated
    std::string content;
};

// Runs a Unix program and fails the test (by exception) unless it exits with 0.
void Run(const std::vector<std::string>& argv, const std::string& cwd = {});

// A fresh folder "<name>" in the work folder holding `files`; its Unix path.
std::string WriteTree(const std::string& name, const std::vector<File>& files);

// Packs the folder `tree` with `zip -q -r <options> <tree>.zip .`; the archive's Unix path.
std::string InfoZip(const std::string& tree, const std::vector<std::string>& options = {});

// Runs a python3 script that has `zipfile` imported and `out` naming the archive
// to write (in the work folder, "<name>.zip"); the archive's Unix path.
std::string PythonZip(const std::string& name, const std::string& body);

// Text that compresses about as well as skin files do.
std::string MixedText(size_t size, unsigned seed);

struct ZipCloser {
    void operator()(std::remove_pointer_t<KvUI::HZIP>* zip) const { KvUI::CloseZip(zip); }
};
using ZipPtr = std::unique_ptr<std::remove_pointer_t<KvUI::HZIP>, ZipCloser>;

// A whole file's bytes as text.
std::string FileText(const std::string& unixPath);

// Opens an archive held in memory; `bytes` must outlive it.
ZipPtr OpenBytes(const std::vector<char>& bytes, const char* password = nullptr);

// Finds `name` (exact case) and extracts it to memory through repeated calls of
// `chunk` bytes; the result of the last call goes to `last`.
std::string ReadEntry(KvUI::HZIP zip, const wchar_t* name, unsigned int chunk, KvUI::ZRESULT* last);

// The index of `name` (exact case), or -1.
int IndexOf(KvUI::HZIP zip, const wchar_t* name);

}  // namespace ziptest
