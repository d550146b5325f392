#include "engine/impl/ScriptHeap.h"

#include <duktape.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/impl/EngineLog.h"
#include "engine/impl/Utf.h"
#include "win/TextConversion.h"

namespace kvengine {
namespace {

// Hidden properties of the functions made for handlers.
constexpr const char kHandlerKey[] = "\xFF" "kvHandler";
constexpr const char kNameKey[] = "\xFF" "kvName";

// The heap of the calling renderer thread. Only a plain pointer is kept per
// thread: once a thread has used a thread_local object with a destructor,
// this runtime's thread storage is freed twice when the thread ends, which
// corrupts the process heap. What a thread needs lives in its heap's state.
thread_local const std::shared_ptr<HeapState>* t_heap = nullptr;

std::shared_ptr<HeapState> CurrentHeap() { return t_heap ? *t_heap : nullptr; }

// The calling thread's innermost current context; null outside every context.
ScriptContext* CurrentContext() {
    return t_heap && !(*t_heap)->contexts.empty() ? (*t_heap)->contexts.back() : nullptr;
}

duk_context* ActiveDuk() {
    if (!t_heap) return nullptr;
    const auto& heap = *t_heap;
    if (!heap->calls.empty()) return heap->calls.back();
    if (!heap->contexts.empty()) return heap->contexts.back()->Thread();
    return heap->Usable() ? heap->duk : nullptr;
}

class CallScope {
public:
    CallScope(HeapState& heap, duk_context* ctx) : m_heap(heap) { m_heap.calls.push_back(ctx); }
    ~CallScope() { m_heap.calls.pop_back(); }

private:
    HeapState& m_heap;
};

void PushText(duk_context* ctx, const std::wstring& text) {
    const std::string cesu = WideToCesu8(text);
    duk_push_lstring(ctx, cesu.data(), cesu.size());
}

std::wstring TextAt(duk_context* ctx, duk_idx_t index) {
    duk_size_t size = 0;
    const char* data = duk_get_lstring(ctx, index, &size);
    return data ? Cesu8ToWide(data, size) : std::wstring();
}

class V8ValueImpl : public kvwin::RefCounted<CefV8Value> {
public:
    enum class Kind { Undefined, Null, Bool, Number, String, Object };

    V8ValueImpl(Kind kind) : m_kind(kind) {}
    static CefRefPtr<V8ValueImpl> Number(double value) {
        CefRefPtr<V8ValueImpl> v = new V8ValueImpl(Kind::Number);
        v->m_number = value;
        return v;
    }
    static CefRefPtr<V8ValueImpl> Text(std::wstring value) {
        CefRefPtr<V8ValueImpl> v = new V8ValueImpl(Kind::String);
        v->m_string = std::move(value);
        return v;
    }
    static CefRefPtr<V8ValueImpl> Boolean(bool value) {
        CefRefPtr<V8ValueImpl> v = new V8ValueImpl(Kind::Bool);
        v->m_bool = value;
        return v;
    }

    // Wraps the value at `index`; objects are kept alive in the heap stash.
    static CefRefPtr<V8ValueImpl> FromStack(duk_context* ctx, duk_idx_t index) {
        index = duk_normalize_index(ctx, index);
        switch (duk_get_type(ctx, index)) {
        case DUK_TYPE_NULL: return new V8ValueImpl(Kind::Null);
        case DUK_TYPE_BOOLEAN: return Boolean(duk_get_boolean(ctx, index) != 0);
        case DUK_TYPE_NUMBER: return Number(duk_get_number(ctx, index));
        case DUK_TYPE_STRING: return Text(TextAt(ctx, index));
        case DUK_TYPE_OBJECT:
        case DUK_TYPE_LIGHTFUNC:
        case DUK_TYPE_BUFFER: {
            const auto heap = CurrentHeap();
            if (!heap || !heap->Usable()) return new V8ValueImpl(Kind::Undefined);
            CefRefPtr<V8ValueImpl> v = new V8ValueImpl(Kind::Object);
            v->m_heap = heap;
            v->m_ref = ++heap->nextRef;
            v->m_function = duk_is_function(ctx, index) != 0;
            duk_push_heap_stash(ctx);
            duk_dup(ctx, index);
            duk_put_prop_index(ctx, -2, v->m_ref);
            duk_pop(ctx);
            return v;
        }
        default: return new V8ValueImpl(Kind::Undefined);
        }
    }

    ~V8ValueImpl() override {
        if (m_kind != Kind::Object || !m_heap->Usable()) return;
        duk_context* ctx = ActiveDuk();
        if (!ctx) return;
        duk_push_heap_stash(ctx);
        duk_del_prop_index(ctx, -1, m_ref);
        duk_pop(ctx);
    }

    // Pushes the value; undefined for an object of a heap that is gone.
    void Push(duk_context* ctx) const {
        switch (m_kind) {
        case Kind::Null: duk_push_null(ctx); break;
        case Kind::Bool: duk_push_boolean(ctx, m_bool); break;
        case Kind::Number: duk_push_number(ctx, m_number); break;
        case Kind::String: PushText(ctx, m_string); break;
        case Kind::Object:
            if (m_heap->Usable() && m_heap == CurrentHeap()) {
                duk_push_heap_stash(ctx);
                duk_get_prop_index(ctx, -1, m_ref);
                duk_remove(ctx, -2);
            } else {
                duk_push_undefined(ctx);
            }
            break;
        default: duk_push_undefined(ctx); break;
        }
    }

    bool IsValid() override { return m_kind != Kind::Object || m_heap->alive; }
    bool IsUndefined() override { return m_kind == Kind::Undefined; }
    bool IsNull() override { return m_kind == Kind::Null; }
    bool IsBool() override { return m_kind == Kind::Bool; }
    bool IsInt() override {
        return m_kind == Kind::Number && std::isfinite(m_number) && m_number == std::trunc(m_number) &&
               m_number >= -2147483648.0 && m_number <= 2147483647.0 && !(m_number == 0 && std::signbit(m_number));
    }
    bool IsDouble() override { return m_kind == Kind::Number; }
    bool IsString() override { return m_kind == Kind::String; }
    bool IsObject() override { return m_kind == Kind::Object; }
    bool IsFunction() override { return m_kind == Kind::Object && m_function; }
    bool IsSame(CefRefPtr<CefV8Value> that) override {
        auto* other = static_cast<V8ValueImpl*>(that.get());
        if (!other || other->m_kind != Kind::Object || m_kind != Kind::Object) return false;
        if (other->m_heap != m_heap || !m_heap->Usable()) return false;
        duk_context* ctx = ActiveDuk();
        if (!ctx) return false;
        Push(ctx);
        other->Push(ctx);
        const bool same = duk_strict_equals(ctx, -1, -2) != 0;
        duk_pop_2(ctx);
        return same;
    }

    bool GetBoolValue() override { return m_kind == Kind::Bool && m_bool; }
    int32_t GetIntValue() override { return IsInt() ? static_cast<int32_t>(m_number) : 0; }
    double GetDoubleValue() override { return m_kind == Kind::Number ? m_number : 0; }
    CefString GetStringValue() override { return m_kind == Kind::String ? CefString(m_string) : CefString(); }

    bool HasValue(const CefString& key) override {
        return PropertyCall(key, nullptr, 0, [](duk_context* ctx, void*) -> duk_ret_t {
            duk_push_boolean(ctx, duk_has_prop(ctx, -2));
            return 1;
        }) == 1;
    }

    CefRefPtr<CefV8Value> GetValue(const CefString& key) override {
        CefRefPtr<CefV8Value> result;
        PropertyCall(key, nullptr, 0, [](duk_context* ctx, void*) -> duk_ret_t {
            duk_get_prop(ctx, -2);
            return 1;
        }, &result);
        return result;
    }

    bool SetValue(const CefString& key, CefRefPtr<CefV8Value> value, PropertyAttribute attribute) override {
        auto* v = static_cast<V8ValueImpl*>(value.get());
        if (!v) return false;
        duk_uint_t flags = DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_HAVE_WRITABLE | DUK_DEFPROP_HAVE_ENUMERABLE |
                           DUK_DEFPROP_HAVE_CONFIGURABLE;
        if (!(attribute & V8_PROPERTY_ATTRIBUTE_READONLY)) flags |= DUK_DEFPROP_WRITABLE;
        if (!(attribute & V8_PROPERTY_ATTRIBUTE_DONTENUM)) flags |= DUK_DEFPROP_ENUMERABLE;
        if (!(attribute & V8_PROPERTY_ATTRIBUTE_DONTDELETE)) flags |= DUK_DEFPROP_CONFIGURABLE;
        return PropertyCall(key, v, flags, [](duk_context* ctx, void* udata) -> duk_ret_t {
            duk_def_prop(ctx, -3, *static_cast<duk_uint_t*>(udata));
            duk_push_true(ctx);
            return 1;
        }) == 1;
    }

    bool DeleteValue(const CefString& key) override {
        return PropertyCall(key, nullptr, 0, [](duk_context* ctx, void*) -> duk_ret_t {
            duk_push_boolean(ctx, duk_del_prop(ctx, -2));
            return 1;
        }) == 1;
    }

private:
    // Runs `op` protected with [object key (value)] on the stack; answers 1
    // when it left true, 0 otherwise, -1 when the object is not usable.
    int PropertyCall(const CefString& key, V8ValueImpl* value, duk_uint_t flags, duk_safe_call_function op,
                     CefRefPtr<CefV8Value>* result = nullptr) {
        if (m_kind != Kind::Object || !m_heap->Usable()) return -1;
        duk_context* ctx = ActiveDuk();
        if (!ctx) return -1;
        Push(ctx);
        PushText(ctx, key.ToWString());
        duk_idx_t args = 2;
        if (value) {
            value->Push(ctx);
            ++args;
        }
        const bool ok = duk_safe_call(ctx, op, &flags, args, 1) == DUK_EXEC_SUCCESS;
        int answer = 0;
        if (ok && result) *result = FromStack(ctx, -1);
        else if (ok) answer = duk_is_boolean(ctx, -1) && duk_get_boolean(ctx, -1) ? 1 : 0;
        duk_pop(ctx);
        return answer;
    }

    const Kind m_kind;
    bool m_bool = false;
    double m_number = 0;
    std::wstring m_string;
    bool m_function = false;
    std::shared_ptr<HeapState> m_heap;
    uint32_t m_ref = 0;
};

HeapState* StateOf(duk_context* ctx) {
    duk_memory_functions functions;
    duk_get_memory_functions(ctx, &functions);
    return static_cast<HeapState*>(functions.udata);
}

// Calls the handler of the running function; leaves its result (1), nothing
// (0) or an error to throw (-1) on the stack. No C++ object lives past it, so
// the throw that may follow cannot skip a destructor.
int CallHandler(duk_context* ctx) {
    try {
        HeapState* state = StateOf(ctx);
        const duk_idx_t count = duk_get_top(ctx);
        duk_push_current_function(ctx);
        duk_get_prop_string(ctx, -1, kHandlerKey);
        const auto id = static_cast<uint32_t>(duk_get_uint(ctx, -1));
        duk_pop(ctx);
        duk_get_prop_string(ctx, -1, kNameKey);
        const std::wstring name = TextAt(ctx, -1);
        duk_pop_2(ctx);
        const auto it = state->handlers.find(id);
        if (it == state->handlers.end()) return 0;
        const CefRefPtr<CefV8Handler> handler = it->second;

        CefV8ValueList arguments;
        for (duk_idx_t i = 0; i < count; ++i) arguments.push_back(V8ValueImpl::FromStack(ctx, i));
        duk_push_this(ctx);
        const CefRefPtr<CefV8Value> receiver = V8ValueImpl::FromStack(ctx, -1);
        duk_pop(ctx);

        CefRefPtr<CefV8Value> retval;
        CefString exception;
        bool handled = false;
        {
            CallScope scope(*state, ctx);
            handled = handler->Execute(name, receiver, arguments, retval, exception);
        }
        if (!handled) return 0;
        if (!exception.empty()) {
            const std::string message = WideToCesu8(exception.ToWString());
            duk_push_error_object(ctx, DUK_ERR_ERROR, "%s", message.c_str());
            return -1;
        }
        if (!retval) return 0;
        static_cast<V8ValueImpl*>(retval.get())->Push(ctx);
        return 1;
    } catch (...) {
        duk_push_error_object(ctx, DUK_ERR_ERROR, "%s", "native function failed");
        return -1;
    }
}

duk_ret_t Trampoline(duk_context* ctx) {
    const int result = CallHandler(ctx);
    if (result < 0) return duk_throw(ctx);
    return result;
}

duk_ret_t Finalize(duk_context* ctx) {
    duk_get_prop_string(ctx, 0, kHandlerKey);
    const auto id = static_cast<uint32_t>(duk_get_uint(ctx, -1));
    duk_pop(ctx);
    if (HeapState* state = StateOf(ctx)) state->handlers.erase(id);
    return 0;
}

// The calling script's place, for log records.
void CallerPlace(duk_context* ctx, std::wstring& file, int& line) {
    duk_inspect_callstack_entry(ctx, -2);
    if (duk_is_object(ctx, -1)) {
        duk_get_prop_string(ctx, -1, "lineNumber");
        line = duk_get_int(ctx, -1);
        duk_pop(ctx);
        duk_get_prop_string(ctx, -1, "function");
        if (duk_is_object(ctx, -1)) {
            duk_get_prop_string(ctx, -1, "fileName");
            file = TextAt(ctx, -1);
            duk_pop(ctx);
        }
        duk_pop(ctx);
    }
    duk_pop(ctx);
}

int WriteConsole(duk_context* ctx) {
    try {
        std::wstring text;
        const duk_idx_t count = duk_get_top(ctx);
        for (duk_idx_t i = 0; i < count; ++i) {
            if (i) text += L' ';
            duk_dup(ctx, i);
            duk_size_t size = 0;
            const char* data = duk_safe_to_lstring(ctx, -1, &size);
            text += Cesu8ToWide(data, size);
            duk_pop(ctx);
        }
        std::wstring file;
        int line = 0;
        CallerPlace(ctx, file, line);
        const auto severity = static_cast<cef_log_severity_t>(duk_get_current_magic(ctx));
        KV_LOG(severity) << "CONSOLE(" << line << ") \"" << kvwin::WideToUtf8(text) << "\", source: " << kvwin::LoggedAddress(kvwin::WideToUtf8(file))
                         << " (" << line << ")";
    } catch (...) {
    }
    return 0;
}

duk_ret_t Console(duk_context* ctx) { return WriteConsole(ctx); }

int OpenWindow(duk_context* ctx) {
    try {
        HeapState* state = StateOf(ctx);
        std::wstring url, name;
        if (!duk_is_undefined(ctx, 0)) {
            duk_dup(ctx, 0);
            duk_size_t size = 0;
            const char* data = duk_safe_to_lstring(ctx, -1, &size);
            url = Cesu8ToWide(data, size);
            duk_pop(ctx);
        }
        if (duk_is_string(ctx, 1)) name = TextAt(ctx, 1);
        if (state && state->openWindow) state->openWindow(url, name);
    } catch (...) {
    }
    return 0;
}

duk_ret_t Open(duk_context* ctx) {
    OpenWindow(ctx);
    duk_push_null(ctx);
    return 1;
}

// A document's globals besides the built-ins: window, console, open.
duk_ret_t SetupGlobals(duk_context* ctx, void*) {
    duk_push_global_object(ctx);
    duk_push_string(ctx, "window");
    duk_push_global_object(ctx);
    duk_def_prop(ctx, -3, DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_HAVE_WRITABLE | DUK_DEFPROP_HAVE_CONFIGURABLE |
                              DUK_DEFPROP_SET_ENUMERABLE);

    duk_push_object(ctx);
    static const struct {
        const char* name;
        int severity;
    } methods[] = {{"log", LOGSEVERITY_INFO}, {"info", LOGSEVERITY_INFO}, {"debug", LOGSEVERITY_VERBOSE},
                   {"warn", LOGSEVERITY_WARNING}, {"error", LOGSEVERITY_ERROR}};
    for (const auto& m : methods) {
        duk_push_c_function(ctx, Console, DUK_VARARGS);
        duk_set_magic(ctx, -1, m.severity);
        duk_put_prop_string(ctx, -2, m.name);
    }
    duk_put_prop_string(ctx, -2, "console");

    duk_push_c_function(ctx, Open, DUK_VARARGS);
    duk_put_prop_string(ctx, -2, "open");
    duk_pop(ctx);
    return 0;
}

// How long one task's scripts may run: far more than any real page needs,
// short enough that a page that never ends is stopped while its user waits.
constexpr ULONGLONG kScriptTimeBudgetMs = 5000;

void Fatal(void*, const char* message) {
    KV_LOG(LOGSEVERITY_ERROR) << "script engine failure: " << (message ? message : "");
    std::abort();
}

// Writes the error at the stack top to the log.
void ReportError(duk_context* ctx, const std::wstring& url) {
    duk_size_t size = 0;
    duk_dup(ctx, -1);
    const char* data = duk_safe_to_lstring(ctx, -1, &size);
    const std::string message = kvwin::WideToUtf8(Cesu8ToWide(data, size));
    duk_pop(ctx);
    int line = 0;
    std::wstring file = url;
    if (duk_is_object(ctx, -1)) {
        duk_get_prop_string(ctx, -1, "lineNumber");
        line = duk_get_int(ctx, -1);
        duk_pop(ctx);
        duk_get_prop_string(ctx, -1, "fileName");
        if (duk_is_string(ctx, -1)) file = TextAt(ctx, -1);
        duk_pop(ctx);
    }
    KV_LOG(LOGSEVERITY_ERROR) << "CONSOLE(" << line << ") \"Uncaught " << message
                              << "\", source: " << kvwin::LoggedAddress(kvwin::WideToUtf8(file)) << " (" << line << ")";
}

}  // namespace

void ReportScriptError(duk_context* ctx, const std::wstring& url) { ReportError(ctx, url); }

ScriptContext::ScriptContext(std::shared_ptr<HeapState> heap, duk_context* thread, uint32_t threadRef,
                             CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame)
    : m_heap(std::move(heap)), m_thread(thread), m_threadRef(threadRef), m_browser(std::move(browser)),
      m_frame(std::move(frame)) {}

CefRefPtr<CefV8Value> ScriptContext::GetGlobal() {
    if (!IsValid() || !m_heap->Usable()) return nullptr;
    duk_context* ctx = ActiveDuk();
    if (!ctx) ctx = m_thread;
    // The global object of this context, even when called from another one.
    if (ctx == m_thread) {
        duk_push_global_object(ctx);
    } else {
        duk_push_global_object(m_thread);
        duk_xmove_top(ctx, m_thread, 1);
    }
    CefRefPtr<CefV8Value> global = V8ValueImpl::FromStack(ctx, -1);
    duk_pop(ctx);
    return global;
}

ContextScope::ContextScope(ScriptContext* context) : m_context(context) { m_context->Heap().contexts.push_back(context); }
ContextScope::~ContextScope() { m_context->Heap().contexts.pop_back(); }

ScriptHeap::ScriptHeap(std::function<void(const std::wstring& url, const std::wstring& name)> openWindow)
    : m_state(std::make_shared<HeapState>()) {
    m_state->threadId = GetCurrentThreadId();
    m_state->openWindow = std::move(openWindow);
    m_state->duk = duk_create_heap(nullptr, nullptr, nullptr, m_state.get(), Fatal);
    t_heap = &m_state;
}

ScriptHeap::~ScriptHeap() {
    m_state->alive = false;
    // Handlers may hold what the application frees at exit: release them with the heap.
    if (m_state->duk) duk_destroy_heap(m_state->duk);
    m_state->duk = nullptr;
    m_state->handlers.clear();
    if (t_heap == &m_state) t_heap = nullptr;
}

CefRefPtr<ScriptContext> ScriptHeap::NewContext(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) {
    duk_context* duk = m_state->duk;
    duk_push_thread_new_globalenv(duk);
    duk_context* thread = duk_get_context(duk, -1);
    const uint32_t ref = ++m_state->nextRef;
    duk_push_heap_stash(duk);
    duk_dup(duk, -2);
    duk_put_prop_index(duk, -2, ref);
    duk_pop_2(duk);
    duk_safe_call(thread, SetupGlobals, nullptr, 0, 1);
    duk_pop(thread);
    return new ScriptContext(m_state, thread, ref, std::move(browser), std::move(frame));
}

void ScriptHeap::Drop(ScriptContext& context) {
    context.Invalidate();
    duk_context* duk = m_state->duk;
    duk_push_heap_stash(duk);
    duk_del_prop_index(duk, -1, context.ThreadRef());
    duk_pop(duk);
}

void ScriptHeap::StartTimeBudget() { m_state->deadline = GetTickCount64() + kScriptTimeBudgetMs; }

void ScriptHeap::StopWhen(std::function<bool()> requested) { m_state->stopRequested = std::move(requested); }

void ScriptHeap::Run(ScriptContext& context, const std::wstring& code, const std::wstring& url, int line) {
    if (!context.IsValid()) return;
    // Each script of a document gets its own budget; one run inside another (from a native call) shares it.
    if (m_state->contexts.empty()) StartTimeBudget();
    duk_context* t = context.Thread();
    // Blank lines in front keep the error reports' line numbers those of the document.
    std::string source(static_cast<size_t>(line > 1 ? line - 1 : 0), '\n');
    source += WideToCesu8(code);
    PushText(t, url);
    ContextScope scope(&context);
    if (duk_pcompile_lstring_filename(t, 0, source.data(), source.size()) != 0) {
        ReportError(t, url);
        duk_pop(t);
        return;
    }
    if (duk_pcall(t, 0) != DUK_EXEC_SUCCESS) ReportError(t, url);
    duk_pop(t);
}


// ---- the public script API ----

CefRefPtr<CefV8Context> CefV8Context::GetCurrentContext() {
    return CurrentContext();
}

CefRefPtr<CefV8Value> CefV8Value::CreateUndefined() {
    return new V8ValueImpl(V8ValueImpl::Kind::Undefined);
}
CefRefPtr<CefV8Value> CefV8Value::CreateNull() { return new V8ValueImpl(V8ValueImpl::Kind::Null); }
CefRefPtr<CefV8Value> CefV8Value::CreateBool(bool value) { return V8ValueImpl::Boolean(value); }
CefRefPtr<CefV8Value> CefV8Value::CreateInt(int32_t value) { return V8ValueImpl::Number(value); }
CefRefPtr<CefV8Value> CefV8Value::CreateDouble(double value) { return V8ValueImpl::Number(value); }
CefRefPtr<CefV8Value> CefV8Value::CreateString(const CefString& value) {
    return V8ValueImpl::Text(value.ToWString());
}

CefRefPtr<CefV8Value> CefV8Value::CreateObject() {
    duk_context* ctx = ActiveDuk();
    if (!ctx || !CurrentContext()) return nullptr;
    duk_push_object(ctx);
    CefRefPtr<CefV8Value> object = V8ValueImpl::FromStack(ctx, -1);
    duk_pop(ctx);
    return object;
}

CefRefPtr<CefV8Value> CefV8Value::CreateFunction(const CefString& name, CefRefPtr<CefV8Handler> handler) {
    duk_context* ctx = ActiveDuk();
    if (!ctx || !handler || !CurrentContext()) return nullptr;
    HeapState* state = StateOf(ctx);
    const uint32_t id = ++state->nextHandler;
    state->handlers[id] = handler;
    duk_push_c_function(ctx, Trampoline, DUK_VARARGS);
    duk_push_uint(ctx, id);
    duk_put_prop_string(ctx, -2, kHandlerKey);
    PushText(ctx, name.ToWString());
    duk_put_prop_string(ctx, -2, kNameKey);
    duk_push_string(ctx, "name");
    PushText(ctx, name.ToWString());
    duk_def_prop(ctx, -3, DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_FORCE);
    duk_push_c_function(ctx, Finalize, 1);
    duk_set_finalizer(ctx, -2);
    CefRefPtr<CefV8Value> function = V8ValueImpl::FromStack(ctx, -1);
    duk_pop(ctx);
    return function;
}

}  // namespace kvengine

// Duktape's execution time-out check, asked every few thousand instructions
// with the heap's state; it must keep answering true until the scripts are unwound.
extern "C" int kv_duk_exec_timeout(void* udata) {
    const auto* state = static_cast<const kvengine::HeapState*>(udata);
    if (!state) return 0;
    if (state->deadline != 0 && GetTickCount64() >= state->deadline) return 1;
    return state->stopRequested && state->stopRequested() ? 1 : 0;
}
