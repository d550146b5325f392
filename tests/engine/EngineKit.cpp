#include "engine/EngineKit.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

#include "engine/impl/BrowserImpl.h"
#include "engine/impl/Engine.h"
#include "engine/impl/Network.h"
#include "engine/impl/WorkQueue.h"
#include "support/TestKit.h"

namespace kvtest {
namespace {

using kvengine::BrowserImpl;
using kvengine::CefBrowser;
using kvengine::CefRefPtr;
using kvengine::Engine;

BrowserImpl* Impl(CefRefPtr<CefBrowser> browser) { return static_cast<BrowserImpl*>(browser.get()); }

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    const auto address = reinterpret_cast<ULONG_PTR>(info->ExceptionRecord->ExceptionAddress);
    const auto base = reinterpret_cast<ULONG_PTR>(GetModuleHandleW(nullptr));
    std::fprintf(stderr, "crash %08lx at module offset 0x%llx (thread %lu, process %lu)\n",
                 info->ExceptionRecord->ExceptionCode, static_cast<unsigned long long>(address - base),
                 GetCurrentThreadId(), GetCurrentProcessId());
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

// What one look at the UI thread found: whether a browser is busy, and the
// browsers whose renderers were asked to answer.
struct UiProbe {
    bool busy = false;
    std::vector<CefRefPtr<BrowserImpl>> pinged;
};

bool BackgroundIdle(Engine* engine) { return engine->Net().Idle() && engine->Files().Idle(); }

DWORD Remaining(DWORD start, DWORD timeoutMs) { return timeoutMs - std::min<DWORD>(timeoutMs, GetTickCount() - start); }

// Everything the renderers sent before their answer is handled before it.
bool RenderersAnswered(const std::vector<CefRefPtr<BrowserImpl>>& pinged, uint32_t seq, DWORD timeoutMs) {
    return PumpUntil(
        [&pinged, seq] {
            return CallOnUiThread<bool>([pinged, seq] {
                       for (const auto& b : pinged) {
                           if (b->LastPong() != seq && b->Window()) return false;
                       }
                       return true;
                   }).value_or(true);
        },
        timeoutMs);
}

bool NoBrowserBusy() {
    return CallOnUiThread<bool>([] {
               Engine* engine = Engine::Get();
               if (!engine) return true;
               for (const auto& b : engine->Browsers()) {
                   if (b->Busy()) return false;
               }
               return true;
           }).value_or(true);
}

}  // namespace

bool PostAndWaitOnUiThread(std::function<void()> work, DWORD timeoutMs) {
    Engine* engine = Engine::Get();
    if (!engine) return false;
    if (engine->OnUiThread()) {
        work();
        return true;
    }
    auto done = std::make_shared<std::atomic<bool>>(false);
    if (!engine->PostUi([work = std::move(work), done] {
            work();
            *done = true;
        })) {
        return false;
    }
    return PumpUntil([done] { return done->load(); }, timeoutMs);
}

bool WaitForIdle(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    static std::atomic<uint32_t> sequence{0};
    while (GetTickCount() - start < timeoutMs) {
        Engine* engine = Engine::Get();
        if (!engine) return true;
        const uint32_t seq = ++sequence;
        const std::optional<UiProbe> probe = CallOnUiThread<UiProbe>([seq] {
            UiProbe found;
            Engine* e = Engine::Get();
            if (!e) return found;
            for (const auto& b : e->Browsers()) {
                found.busy = found.busy || b->Busy();
                if (b->Ping(seq)) found.pinged.push_back(b);
            }
            return found;
        });
        if (!probe) return false;
        if (!probe->busy && BackgroundIdle(engine)) {
            if (!RenderersAnswered(probe->pinged, seq, Remaining(start, timeoutMs))) return false;
            if (NoBrowserBusy() && BackgroundIdle(engine)) return true;
        }
        // Something is still under way: look again shortly.
        PumpUntil([] { return false; }, 10);
    }
    return false;
}

Shown GetShown(CefRefPtr<CefBrowser> browser) {
    return CallOnUiThread<Shown>([browser] { return Impl(browser)->GetShown(); }).value_or(Shown{});
}

DWORD RendererProcessId(CefRefPtr<CefBrowser> browser) {
    return CallOnUiThread<DWORD>([browser] { return Impl(browser)->RendererProcessId(); }).value_or(0);
}

void SetNetworkTimeouts(DWORD connectMs, DWORD idleSeconds) { kvengine::Network::SetTimeouts(connectMs, idleSeconds); }

void ReportCrashes() { SetUnhandledExceptionFilter(ReportCrash); }

ParentWindow::ParentWindow(int width, int height)
    : m_window(CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, width, height,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {}

ParentWindow::~ParentWindow() { DestroyWindow(m_window); }

}  // namespace kvtest
