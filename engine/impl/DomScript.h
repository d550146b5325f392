#pragma once
// The document model as a page's scripts see it: `document` and its nodes,
// element styles, "click" events with bubbling, timers and `location`,
// installed into one script context for one document. While it lives, the
// context's scripts reach the document; once it is gone they find nothing.
#include <cstdint>
#include <functional>
#include <string>

#include "engine/impl/Dom.h"

namespace kvengine {

class ScriptContext;

class DomScript {
public:
    // What scripts reach beyond the document.
    struct Host {
        std::function<void(const std::wstring& url)> navigate;  // a URL as the page wrote it
        std::function<void()> reload;
        std::function<void(uint32_t id, int delayMs)> setTimer;
        std::function<void(uint32_t id)> clearTimer;
        std::function<std::wstring()> url;
    };

    DomScript(ScriptContext& context, Document& document, Host host);
    ~DomScript();
    DomScript(const DomScript&) = delete;
    DomScript& operator=(const DomScript&) = delete;

    Document& Doc() { return m_document; }
    const Host& HostOf() const { return m_host; }

    // Dispatches "DOMContentLoaded" and "load" once the document's scripts ran.
    void Loaded();
    // A click on `target` (null: the document): "click" bubbles up to the
    // window, then a link's default action follows unless it was prevented.
    void Click(const Node* target);
    void FireTimer(uint32_t id);

private:
    void CallHook(const char* name, double argument);

    ScriptContext& m_context;
    Document& m_document;
    const Host m_host;
};

}  // namespace kvengine
