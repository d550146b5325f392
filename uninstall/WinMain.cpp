// The remover's entry point: the skin from its zip resource, the window, the
// message loop.
#include <windows.h>
#include <ole2.h>

#include <memory>
#include <new>

#include "ui/core/PaintManagerUI.h"
#include "uninstall/MainFrame.h"
#include "uninstall/UninstallRoutine.h"
#include "uninstall/UninstallTexts.h"

namespace {

constexpr int kSkinZipId = 129;
constexpr int kSkinInZipResource = 4;
constexpr DWORD kFrameStyle = 0x10CF0000;  // WS_VISIBLE | WS_OVERLAPPEDWINDOW

void AttachSkinZip(HINSTANCE instance) {
    KvUI::CPaintManagerUI::SetInstance(instance);
    KvUI::CPaintManagerUI::SetResourceType(kSkinInZipResource);
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(kSkinZipId), L"ZIPRES");
    if (!found) return;
    const HGLOBAL loaded = LoadResource(instance, found);
    const DWORD size = SizeofResource(instance, found);
    if (!loaded || size == 0) return;
    // Resource memory lives as long as the module: nothing to free.
    KvUI::CPaintManagerUI::SetResourceZip(LockResource(loaded), static_cast<int>(size));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    if (FAILED(CoInitialize(nullptr))) return 0;
    OleInitialize(nullptr);
    AttachSkinZip(instance);

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
