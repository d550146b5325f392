#include "engine/testing/EngineTesting.h"

#include <atomic>
#include <cstdio>
#include <memory>

#include "engine/impl/BrowserImpl.h"
#include "engine/impl/Engine.h"
#include "engine/impl/Network.h"
#include "engine/impl/WorkQueue.h"
#include "tests/support/TestEnv.h"

namespace kvengine::testing {
namespace {

using kvtest::PumpUntil;

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

}  // namespace

bool RunOnUiThread(const std::function<void()>& work, DWORD timeoutMs) {
    Engine* engine = Engine::Get();
    if (!engine) return false;
    if (engine->OnUiThread()) {
        work();
        return true;
    }
    auto done = std::make_shared<std::atomic<bool>>(false);
    if (!engine->PostUi([work, done] {
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
        bool busy = false;
        std::vector<CefRefPtr<BrowserImpl>> pinged;
        const uint32_t seq = ++sequence;
        if (!RunOnUiThread([&] {
                for (const auto& b : engine->Browsers()) {
                    busy = busy || b->Busy();
                    if (b->Ping(seq)) pinged.push_back(b);
                }
            })) {
            return false;
        }
        busy = busy || !engine->Net().Idle() || !engine->Files().Idle();
        if (!busy) {
            // Everything the renderers sent before their answer is handled before it.
            const bool answered = PumpUntil(
                [&] {
                    bool all = true;
                    RunOnUiThread([&] {
                        for (const auto& b : pinged) all = all && (b->LastPong() == seq || !b->Window());
                    });
                    return all;
                },
                timeoutMs - std::min<DWORD>(timeoutMs, GetTickCount() - start));
            if (!answered) return false;
            bool stillIdle = true;
            RunOnUiThread([&] {
                for (const auto& b : engine->Browsers()) stillIdle = stillIdle && !b->Busy();
            });
            if (stillIdle && engine->Net().Idle() && engine->Files().Idle()) return true;
        }
        PumpUntil([] { return false; }, 10);
    }
    return false;
}

Shown GetShown(CefRefPtr<CefBrowser> browser) {
    Shown shown;
    RunOnUiThread([&] { shown = Impl(browser)->GetShown(); });
    return shown;
}

bool ShowsHandAt(CefRefPtr<CefBrowser> browser, POINT point) {
    bool hand = false;
    RunOnUiThread([&] { hand = Impl(browser)->IsHandAt(point); });
    return hand;
}

DWORD RendererProcessId(CefRefPtr<CefBrowser> browser) {
    DWORD pid = 0;
    RunOnUiThread([&] { pid = Impl(browser)->RendererProcessId(); });
    return pid;
}

void SetNetworkTimeouts(DWORD connectMs, DWORD idleSeconds) { Network::SetTimeouts(connectMs, idleSeconds); }

void ReportCrashes() { SetUnhandledExceptionFilter(ReportCrash); }

ParentWindow::ParentWindow(int width, int height)
    : m_window(CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, width, height,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {}

ParentWindow::~ParentWindow() { DestroyWindow(m_window); }

}  // namespace kvengine::testing
