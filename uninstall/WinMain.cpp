// The remover's entry point: the skin from its zip resource, the window, the
// message loop.
#include <windows.h>
#include <ole2.h>

#include <memory>
#include <new>

#include "ui/core/PaintManagerUI.h"
#include "ui/core/SkinResource.h"
#include "uninstall/MainFrame.h"
#include "uninstall/UninstallRoutine.h"
#include "uninstall/UninstallTexts.h"

namespace {

constexpr int kSkinZipId = 129;
constexpr DWORD kFrameStyle = 0x10CF0000;  // WS_VISIBLE | WS_OVERLAPPEDWINDOW

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    if (FAILED(CoInitialize(nullptr))) return 0;
    OleInitialize(nullptr);
    KvUI::AttachSkinResourceZip(instance, kSkinZipId);

    kvuninstall::ProcessActions actions;
    auto frame = std::unique_ptr<kvuninstall::MainFrame>(
        new (std::nothrow) kvuninstall::MainFrame(kvuninstall::RemoverFolder(), actions));
    if (!frame) return 0;
    frame->CreateEx(nullptr, kvuninstall::FromGbk(kvuninstall::kTitleText).c_str(), kFrameStyle, 0);
    frame->CenterWindow();
    frame->ShowWindow(true, true);
    KvUI::CPaintManagerUI::MessageLoop();
    frame.reset();

    OleUninitialize();
    CoUninitialize();
    return 1;
}
