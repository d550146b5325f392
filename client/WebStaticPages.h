#pragma once
// Web pages shipped in the skin package under "webstatic/" (the error page's
// template), read into memory once at start so that the browser side never
// touches a file for them.
#include <unordered_map>
#include <memory>
#include <string>
#include <vector>

namespace kvclient {

struct WebStaticPage {
    std::wstring name;
    std::vector<char> bytes;  // the file as stored, unconverted
};

// Every listed page by name; an entry without a page could not be read.
extern std::unordered_map<std::wstring, std::unique_ptr<WebStaticPage>> g_webStaticPages;

// (Re)reads every listed page: from the skin zip when the UI library takes
// its skin from a zip resource, otherwise from its resource folder; names are
// matched in the zip without regard to letter case. An empty file is missing.
void LoadWebStaticPages();

// The page of that name, or null when it is not available.
const WebStaticPage* FindWebStaticPage(const std::wstring& name);

}  // namespace kvclient
