#pragma once
// The renderer's script engine (Duktape): one heap per renderer, one fresh
// global environment per document, and the script values that wrap its values.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/CefV8.h"
#include "win/RefCounted.h"

struct duk_hthread;
typedef struct duk_hthread duk_context;

namespace kvengine {

class ScriptContext;

// Shared by the heap and every value made in it; values of a heap that is
// gone (or used from another thread) turn into no-ops instead of crashing.
struct HeapState {
    duk_context* duk = nullptr;
    DWORD threadId = 0;
    bool alive = true;
    uint32_t nextRef = 0;
    uint32_t nextHandler = 0;
    std::map<uint32_t, CefRefPtr<CefV8Handler>> handlers;
    std::function<void(const std::wstring& url, const std::wstring& name)> openWindow;
    // When the scripts running now must stop (GetTickCount64; 0: no limit),
    // and what else stops them; both are read while scripts run.
    ULONGLONG deadline = 0;
    std::function<bool()> stopRequested;
    // The renderer thread's current contexts, innermost last, and the
    // Duktape threads whose native calls run now.
    std::vector<ScriptContext*> contexts;
    std::vector<duk_context*> calls;

    bool Usable() const { return alive && GetCurrentThreadId() == threadId; }
};

class ScriptContext : public kvwin::RefCounted<CefV8Context> {
public:
    ScriptContext(std::shared_ptr<HeapState> heap, duk_context* thread, uint32_t threadRef,
                  CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame);

    bool IsValid() override { return m_valid && m_heap->alive; }
    CefRefPtr<CefBrowser> GetBrowser() override { return m_browser; }
    CefRefPtr<CefFrame> GetFrame() override { return m_frame; }
    CefRefPtr<CefV8Value> GetGlobal() override;
    bool IsSame(CefRefPtr<CefV8Context> that) override { return that.get() == this; }

    HeapState& Heap() const { return *m_heap; }
    duk_context* Thread() const { return m_thread; }
    uint32_t ThreadRef() const { return m_threadRef; }
    void Invalidate() { m_valid = false; }

private:
    const std::shared_ptr<HeapState> m_heap;
    duk_context* const m_thread;
    const uint32_t m_threadRef;
    const CefRefPtr<CefBrowser> m_browser;
    const CefRefPtr<CefFrame> m_frame;
    bool m_valid = true;
};

// Makes a context the current one (CefV8Context::GetCurrentContext) for a scope.
class ContextScope {
public:
    explicit ContextScope(ScriptContext* context);
    ~ContextScope();
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    ScriptContext* const m_context;
};

// Writes the script error at the top of `ctx`'s stack to the log with its place.
void ReportScriptError(duk_context* ctx, const std::wstring& url);

class ScriptHeap {
public:
    explicit ScriptHeap(std::function<void(const std::wstring& url, const std::wstring& name)> openWindow);
    ~ScriptHeap();
    ScriptHeap(const ScriptHeap&) = delete;
    ScriptHeap& operator=(const ScriptHeap&) = delete;

    bool Valid() const { return m_state->duk != nullptr; }
    // A document's context: a global object of its own that is also `window`.
    CefRefPtr<ScriptContext> NewContext(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame);
    // The document is gone: its global environment may be collected.
    void Drop(ScriptContext& context);
    // Runs `code` as a classic script of the context; an uncaught error is
    // written to the log with its place, never shown.
    void Run(ScriptContext& context, const std::wstring& code, const std::wstring& url, int line);
    // Scripts run from now on (up to the next call, or within one Run) share
    // one time budget; past it they are stopped with an error, so no page can
    // keep its renderer busy for good.
    void StartTimeBudget();
    // `requested` is asked now and then while scripts run; once it answers
    // true (and as long as it does) they are stopped with an error.
    void StopWhen(std::function<bool()> requested);

private:
    std::shared_ptr<HeapState> m_state;
};

}  // namespace kvengine
