#pragma once
// Skin documents: a small XML reader that parses one wide-character copy of
// the document in place and keeps its elements in a flat table. Names,
// attribute names, attribute values and texts are zero-terminated strings
// inside that copy, so reading them costs nothing after the load.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <vector>

namespace KvUI {

class CMarkup;

// How the bytes handed to CMarkup::LoadFromMem / LoadFromFile are encoded.
enum MarkupEncoding : int {
    MarkupEncodingUtf8 = 0,   // an EF BB BF byte-order mark is skipped
    MarkupEncodingUtf16 = 1,  // must start with FF FE or FE FF
    MarkupEncodingAnsi = 2,   // the system ANSI code page
};

// A light handle onto one element of a loaded document. It owns nothing,
// copies cheaply and must not outlive a reload or release of its document.
class CMarkupNode {
public:
    static constexpr int MaxAttributes = 64;

    CMarkupNode() = default;

    bool IsValid() const { return m_owner != nullptr; }
    LPCTSTR GetName() const;
    CMarkupNode GetChild() const;
    CMarkupNode GetSibling() const;
    bool HasChildren() const;

    int GetAttributeCount() const;
    bool HasAttributes() const { return GetAttributeCount() > 0; }
    LPCTSTR GetAttributeName(int index) const;
    LPCTSTR GetAttributeValue(int index) const;
    // Copies at most `size` characters of the first attribute named `name`
    // (compared without case) into `value`, which holds `size` + 1 characters.
    bool GetAttributeValue(LPCTSTR name, LPTSTR value, SIZE_T size) const;

private:
    friend class CMarkup;

    struct Attribute {
        UINT name = 0;   // offsets into the document's text
        UINT value = 0;
    };

    CMarkupNode(const CMarkup* owner, UINT element) : m_element(element), m_owner(owner) {}
    bool HasElement() const;
    void MapAttributes() const;

    UINT m_element = 0;
    // The attribute area is walked on first use only; 0 means not yet walked.
    mutable int m_attributeCount = 0;
    mutable Attribute m_attributes[MaxAttributes] = {};
    const CMarkup* m_owner = nullptr;
};

// One skin document.
class CMarkup {
public:
    explicit CMarkup(LPCTSTR xml = nullptr);
    CMarkup(const CMarkup&) = delete;
    CMarkup& operator=(const CMarkup&) = delete;

    bool Load(LPCTSTR xml);
    bool LoadFromMem(const BYTE* data, size_t size, int encoding = MarkupEncodingUtf8);
    // Reads the skin file from the resource folder, or from the skin zip when one is set.
    bool LoadFromFile(LPCTSTR fileName, int encoding = MarkupEncodingUtf8);
    void Release();

    CMarkupNode GetRoot() const;

    // Why the last load failed, and up to 49 characters of the text where it did.
    LPCTSTR GetLastErrorMessage() const { return m_errorMessage; }
    LPCTSTR GetLastErrorLocation() const { return m_errorLocation; }

private:
    friend class CMarkupNode;
    class Parser;

    // Offsets and indices are 32-bit: a document is far below 4G characters
    // (longer texts are refused), and small records keep the table compact.
    struct Element {
        UINT name = 0;     // offset of the name; the attribute area follows it
        UINT child = 0;    // first child, 0 = none
        UINT next = 0;     // next sibling, 0 = none
        UINT parent = 0;   // 0 = top level
        UINT data = 0;     // offset of the text content; for <x/> the "/"
    };

    bool LoadText(std::unique_ptr<wchar_t[]> text, size_t length);
    bool Parse();
    bool Fail(LPCTSTR message, LPCTSTR location = nullptr);
    bool FailWithoutText();

    std::unique_ptr<wchar_t[]> m_text;   // zero-terminated; parsing writes into it
    size_t m_textLength = 0;
    struct FreeMemory {
        void operator()(void* block) const { std::free(block); }
    };
    // Element 0 is reserved; the root is element 1. The table grows with
    // realloc, which can extend it in place where a vector must copy.
    std::unique_ptr<Element[], FreeMemory> m_elements;
    UINT m_elementCount = 0;
    UINT m_elementCapacity = 0;
    wchar_t m_errorMessage[100] = {};
    wchar_t m_errorLocation[50] = {};
};

}  // namespace KvUI
