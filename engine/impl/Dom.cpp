#include "engine/impl/Dom.h"

#include <algorithm>

namespace kvengine {
namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }

bool IsReadableBlock(const Node& node) {
    static const wchar_t* const blocks[] = {
        L"p", L"div", L"br", L"li", L"ul", L"ol", L"h1", L"h2", L"h3", L"h4", L"h5", L"h6", L"tr", L"table",
        L"section", L"article", L"header", L"footer", L"nav", L"pre", L"blockquote", L"hr", L"dl", L"dt", L"dd",
        L"form", L"body", L"main", L"aside", L"figure", L"address"};
    return std::any_of(std::begin(blocks), std::end(blocks), [&](const wchar_t* b) { return node.name == b; });
}

// Elements whose text is never read: it is code, style or metadata.
bool IsUnread(const Node& node) {
    return node.Is(L"script") || node.Is(L"style") || node.Is(L"title") || node.Is(L"noscript") ||
           node.Is(L"template") || node.Is(L"head");
}

bool IsVoid(const std::wstring& tag) {
    static const wchar_t* const voids[] = {L"area", L"base", L"br", L"col", L"embed", L"hr", L"img", L"input",
                                           L"link", L"meta", L"param", L"source", L"track", L"wbr"};
    return std::any_of(std::begin(voids), std::end(voids), [&](const wchar_t* v) { return tag == v; });
}

// Folds white space into single blanks; block boundaries (marked '\v') become
// line breaks, never more than one in a row.
std::wstring Collapse(const std::wstring& s) {
    std::wstring out;
    bool space = false;
    for (const wchar_t c : s) {
        if (c == L'\v') {
            while (!out.empty() && out.back() == L' ') out.pop_back();
            if (!out.empty() && out.back() != L'\n') out += L'\n';
            space = false;
        } else if (IsSpace(c)) {
            space = true;
        } else {
            if (space && !out.empty() && out.back() != L'\n') out += L' ';
            space = false;
            out += c;
        }
    }
    while (!out.empty() && (out.back() == L' ' || out.back() == L'\n')) out.pop_back();
    return out;
}

void AppendEscaped(std::wstring& out, const std::wstring& text, bool attribute) {
    for (const wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'"': out += attribute ? L"&quot;" : L"\""; break;
        default: out += c; break;
        }
    }
}

bool IsRawText(const Node& node) { return node.Is(L"script") || node.Is(L"style"); }

}  // namespace

const std::wstring* Node::FindAttribute(const std::wstring& attribute) const {
    for (const auto& [k, v] : attributes) {
        if (k == attribute) return &v;
    }
    return nullptr;
}

std::wstring Node::Attribute(const std::wstring& attribute) const {
    const std::wstring* value = FindAttribute(attribute);
    return value ? *value : std::wstring();
}

void Node::SetAttribute(const std::wstring& attribute, std::wstring value) {
    for (auto& [k, v] : attributes) {
        if (k == attribute) {
            v = std::move(value);
            return;
        }
    }
    attributes.emplace_back(attribute, std::move(value));
}

void Node::RemoveAttribute(const std::wstring& attribute) {
    attributes.erase(std::remove_if(attributes.begin(), attributes.end(),
                                    [&](const auto& a) { return a.first == attribute; }),
                     attributes.end());
}

bool Node::HasClass(const std::wstring& className) const {
    const std::wstring* classes = FindAttribute(L"class");
    if (!classes || className.empty()) return false;
    for (size_t at = classes->find(className); at != std::wstring::npos; at = classes->find(className, at + 1)) {
        const size_t end = at + className.size();
        if ((at == 0 || IsSpace((*classes)[at - 1])) && (end == classes->size() || IsSpace((*classes)[end]))) {
            return true;
        }
    }
    return false;
}

Node* NextInTree(const Node* node, const Node* root) {
    if (node->first) return node->first;
    return NextSkippingChildren(node, root);
}

Node* NextSkippingChildren(const Node* node, const Node* root) {
    for (; node && node != root; node = node->parent) {
        if (node->next) return node->next;
    }
    return nullptr;
}

Document::Document() {
    m_root = Make(Node::Kind::Document);
    Node* html = CreateElement(L"html");
    Append(m_root, html);
    Append(html, CreateElement(L"head"));
    Append(html, CreateElement(L"body"));
}

Node* Document::Make(Node::Kind kind) {
    auto node = std::make_unique<Node>();
    node->kind = kind;
    node->id = static_cast<uint32_t>(m_nodes.size());
    m_nodes.push_back(std::move(node));
    return m_nodes.back().get();
}

Node* Document::CreateElement(std::wstring tag) {
    Node* node = Make(Node::Kind::Element);
    node->name = std::move(tag);
    return node;
}

Node* Document::CreateText(std::wstring text) {
    Node* node = Make(Node::Kind::Text);
    node->text = std::move(text);
    return node;
}

Node* Document::DocumentElement() const {
    for (Node* n = m_root->first; n; n = n->next) {
        if (n->IsElement()) return n;
    }
    return nullptr;
}

Node* Document::Head() const {
    Node* html = DocumentElement();
    for (Node* n = html ? html->first : nullptr; n; n = n->next) {
        if (n->Is(L"head")) return n;
    }
    return nullptr;
}

Node* Document::Body() const {
    Node* html = DocumentElement();
    for (Node* n = html ? html->first : nullptr; n; n = n->next) {
        if (n->Is(L"body")) return n;
    }
    return nullptr;
}

bool Document::Append(Node* parent, Node* child) { return InsertBefore(parent, child, nullptr); }

bool Document::InsertBefore(Node* parent, Node* child, Node* reference) {
    if (!parent || !child || parent->kind == Node::Kind::Text || child->kind == Node::Kind::Document) return false;
    if (reference && reference->parent != parent) return false;
    if (reference == child) return true;
    for (const Node* a = parent; a; a = a->parent) {
        if (a == child) return false;  // would hang the node below itself
    }
    if (child->parent) Remove(child->parent, child);
    child->parent = parent;
    child->next = reference;
    child->prev = reference ? reference->prev : parent->last;
    if (child->prev) child->prev->next = child;
    else parent->first = child;
    if (reference) reference->prev = child;
    else parent->last = child;
    Touch();
    return true;
}

bool Document::Remove(Node* parent, Node* child) {
    if (!parent || !child || child->parent != parent) return false;
    if (child->prev) child->prev->next = child->next;
    else parent->first = child->next;
    if (child->next) child->next->prev = child->prev;
    else parent->last = child->prev;
    child->parent = child->prev = child->next = nullptr;
    Touch();
    return true;
}

void Document::RemoveChildren(Node* parent) {
    while (parent->first) Remove(parent, parent->first);
}

Node* Document::ElementById(const std::wstring& id) const {
    if (id.empty()) return nullptr;
    for (Node* n = m_root; n; n = NextInTree(n, m_root)) {
        if (n->IsElement()) {
            const std::wstring* value = n->FindAttribute(L"id");
            if (value && *value == id) return n;
        }
    }
    return nullptr;
}

std::wstring Document::Title() const {
    for (Node* n = m_root; n; n = NextInTree(n, m_root)) {
        if (n->Is(L"title")) {
            std::wstring text = TextContent(n);
            std::replace(text.begin(), text.end(), L'\v', L' ');
            return Collapse(text);
        }
    }
    return {};
}

void Document::SetTitle(const std::wstring& title) {
    Node* element = nullptr;
    for (Node* n = m_root; n && !element; n = NextInTree(n, m_root)) {
        if (n->Is(L"title")) element = n;
    }
    if (!element) {
        element = CreateElement(L"title");
        Append(Head(), element);
    }
    RemoveChildren(element);
    Append(element, CreateText(title));
}

std::wstring TextContent(const Node* node) {
    if (node->kind == Node::Kind::Text) return node->text;
    std::wstring out;
    for (const Node* n = node->first; n; n = NextInTree(n, node)) {
        if (n->kind == Node::Kind::Text) out += n->text;
    }
    return out;
}

std::wstring InnerHtml(const Node* node) {
    std::wstring out;
    const Node* n = node->first;
    while (n) {
        if (n->kind == Node::Kind::Text) {
            if (n->parent && IsRawText(*n->parent)) out += n->text;
            else AppendEscaped(out, n->text, false);
        } else {
            out += L'<' + n->name;
            for (const auto& [k, v] : n->attributes) {
                out += L' ' + k + L"=\"";
                AppendEscaped(out, v, true);
                out += L'"';
            }
            out += L'>';
            if (n->first) {
                n = n->first;
                continue;
            }
            if (!IsVoid(n->name)) out += L"</" + n->name + L'>';
        }
        // Up to the next sibling, closing every element whose last child this was.
        while (n) {
            if (n->next) {
                n = n->next;
                break;
            }
            n = n->parent;
            if (n == node) {
                n = nullptr;
                break;
            }
            out += L"</" + n->name + L'>';
        }
    }
    return out;
}

std::wstring ReadableText(const Document& document) {
    std::wstring text;
    const Node* root = document.Root();
    const Node* n = root->first;
    while (n) {
        const bool unread = n->IsElement() && IsUnread(*n);
        if (n->kind == Node::Kind::Text) text += n->text;
        else if (!unread && IsReadableBlock(*n)) text += L'\v';
        if (n->first && !unread) {
            n = n->first;
            continue;
        }
        // Leaving nodes up to the next sibling: a block ends its line.
        while (n) {
            if (n == root) {
                n = nullptr;
                break;
            }
            if (n->IsElement() && IsReadableBlock(*n)) text += L'\v';
            if (n->next) {
                n = n->next;
                break;
            }
            n = n->parent;
        }
    }
    return Collapse(text);
}

}  // namespace kvengine
