#pragma once
// The renderer's document tree: elements and text under one document node.
// The document owns every node it ever made (a detached node lives until the
// document goes), so scripts refer to nodes by their id without dangling.
// Every walk over the tree is iterative: a tree of any depth cannot exhaust
// the stack.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kvengine {

struct ComputedStyle;

// Where layout placed an element: its border box in device pixels.
struct LayoutBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool shown = false;  // false for an element outside the layout (display: none, detached)
    bool fixed = false;  // placed in the window (position: fixed), not the scrolled document
};

struct Node {
    enum class Kind : uint8_t { Document, Element, Text };

    Kind kind = Kind::Element;
    bool clickable = false;   // a script gave it an onclick handler: the pointer shows a hand over it
    uint32_t id = 0;          // its index in the document
    int sourceLine = 0;       // where a parsed <script> starts in the document
    std::wstring name;        // elements: the tag name in lower case
    std::wstring text;        // text nodes
    std::vector<std::pair<std::wstring, std::wstring>> attributes;  // names in lower case
    Node* parent = nullptr;
    Node* first = nullptr;
    Node* last = nullptr;
    Node* prev = nullptr;
    Node* next = nullptr;
    const ComputedStyle* style = nullptr;  // set by styling; null when not rendered
    LayoutBox box;

    bool IsElement() const { return kind == Kind::Element; }
    bool Is(const wchar_t* tag) const { return kind == Kind::Element && name == tag; }
    const std::wstring* FindAttribute(const std::wstring& attribute) const;
    std::wstring Attribute(const std::wstring& attribute) const;
    void SetAttribute(const std::wstring& attribute, std::wstring value);
    void RemoveAttribute(const std::wstring& attribute);
    bool HasClass(const std::wstring& className) const;
};

// The next node after `node` in document order within `root`'s subtree, or null.
Node* NextInTree(const Node* node, const Node* root);
// The same, skipping `node`'s own subtree.
Node* NextSkippingChildren(const Node* node, const Node* root);

class Document {
public:
    Document();

    Node* Root() const { return m_root; }
    Node* DocumentElement() const;
    Node* Head() const;
    Node* Body() const;
    Node* Get(uint32_t id) const { return id < m_nodes.size() ? m_nodes[id].get() : nullptr; }
    size_t NodeCount() const { return m_nodes.size(); }

    Node* CreateElement(std::wstring tag);
    Node* CreateText(std::wstring text);

    // Tree changes; each refuses what would break the tree (a node into its
    // own subtree, a reference that is not a child) and answers false.
    bool Append(Node* parent, Node* child);
    bool InsertBefore(Node* parent, Node* child, Node* reference);
    bool Remove(Node* parent, Node* child);
    void RemoveChildren(Node* parent);

    // The first element in document order with this id, or null.
    Node* ElementById(const std::wstring& id) const;
    std::wstring Title() const;
    void SetTitle(const std::wstring& title);

    // Any change to what is shown marks the document for styling and layout.
    void Touch() { ++m_version; }
    uint64_t Version() const { return m_version; }

private:
    Node* Make(Node::Kind kind);

    std::vector<std::unique_ptr<Node>> m_nodes;
    Node* m_root = nullptr;
    uint64_t m_version = 1;
};

// The text of a subtree as the DOM's textContent reads it.
std::wstring TextContent(const Node* node);
// The subtree's children as markup (innerHTML).
std::wstring InnerHtml(const Node* node);
// What a reader sees of the document: the body's text with white space
// collapsed and a line per block, without scripts and styles.
std::wstring ReadableText(const Document& document);

}  // namespace kvengine
