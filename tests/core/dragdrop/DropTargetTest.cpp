#include "ui/core/DropTarget.h"

#include <memory>
#include <vector>

#include "core/container/ContainerTestKit.h"
#include "core/dragdrop/DragDropKit.h"
#include "win/ComRef.h"
#include "ui/core/DataObject.h"

using kvwin::CComRef;
using KvUI::CIDropTarget;
using namespace dragdrop;

namespace {

// Remembers every drop; releases the medium unless told to keep it.
class RecordingTarget : public CIDropTarget {
public:
    explicit RecordingTarget(std::initializer_list<CLIPFORMAT> accepted = {}) {
        for (CLIPFORMAT cf : accepted) AddAcceptedFormat(cf, TYMED_HGLOBAL);
    }
    bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) override {
        formats.push_back(format->cfFormat);
        effects.push_back(*effect);
        if (forcedEffect) *effect = forcedEffect;
        if (keepMedium) kept = medium;
        return !keepMedium;
    }

    std::vector<CLIPFORMAT> formats;
    std::vector<DWORD> effects;
    DWORD forcedEffect = 0;
    bool keepMedium = false;
    STGMEDIUM kept{};
};

CComRef<IDataObject> DataWith(std::initializer_list<CLIPFORMAT> formats) {
    CComRef<IDataObject> data = NewDataObject();
    for (CLIPFORMAT cf : formats) PutGlobal(data.Get(), cf, "data");
    return data;
}

HWND PlainWindow() {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

struct EffectCase {
    DWORD keys;
    DWORD offered;
    DWORD expected;
};

class DropEffect : public OleTest, public ::testing::WithParamInterface<EffectCase> {};

TEST_P(DropEffect, FollowsModifierKeysAndWhatTheSourceOffers) {
    RecordingTarget target({CF_DIB});
    auto data = DataWith({CF_DIB});
    DWORD effect = GetParam().offered;
    ASSERT_EQ(S_OK, target.DragEnter(data.Get(), GetParam().keys, POINTL{0, 0}, &effect));
    EXPECT_EQ(GetParam().expected, effect);
    effect = GetParam().offered;
    ASSERT_EQ(S_OK, target.DragOver(GetParam().keys, POINTL{1, 1}, &effect));
    EXPECT_EQ(GetParam().expected, effect);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DropEffect,
    ::testing::Values(EffectCase{0, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
                      EffectCase{0, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
                      EffectCase{0, DROPEFFECT_LINK, DROPEFFECT_LINK},
                      EffectCase{0, DROPEFFECT_NONE, DROPEFFECT_NONE},
                      EffectCase{MK_CONTROL, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
                      EffectCase{MK_CONTROL, DROPEFFECT_MOVE, DROPEFFECT_NONE},
                      EffectCase{MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
                      EffectCase{MK_SHIFT | MK_CONTROL, DROPEFFECT_COPY | DROPEFFECT_LINK, DROPEFFECT_LINK},
                      EffectCase{MK_SHIFT | MK_CONTROL, DROPEFFECT_COPY, DROPEFFECT_NONE}));

class DropTarget : public OleTest {};

TEST_F(DropTarget, RefusesDataWithoutAnAcceptedFormat) {
    RecordingTarget target({CF_HDROP});
    auto text = DataWith({CF_TEXT});
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target.DragEnter(text.Get(), 0, POINTL{}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target.Drop(text.Get(), 0, POINTL{}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    EXPECT_TRUE(target.formats.empty());

    auto files = DataWith({CF_TEXT, CF_HDROP});
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target.DragEnter(files.Get(), 0, POINTL{}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
}

TEST_F(DropTarget, AnAcceptedDropReportsItsEffectToTheSource) {
    RecordingTarget target({CF_DIB});
    auto data = DataWith({CF_DIB});
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, target.DragEnter(data.Get(), MK_LBUTTON | MK_SHIFT, POINTL{}, &effect));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, target.Drop(data.Get(), MK_SHIFT, POINTL{}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), effect);
    ASSERT_EQ(1u, target.formats.size());
    EXPECT_EQ(CF_DIB, target.formats[0]);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), target.effects[0]);

    // What the drop itself decides is what the source hears.
    target.forcedEffect = DROPEFFECT_COPY;
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, target.DragEnter(data.Get(), 0, POINTL{}, &effect));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, target.Drop(data.Get(), MK_SHIFT, POINTL{}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
}

TEST_F(DropTarget, TakesTheFirstAcceptedFormatTheDataOffers) {
    RecordingTarget target({CF_BITMAP, CF_DIB, CF_HDROP});
    auto data = DataWith({CF_HDROP, CF_DIB});
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target.DragEnter(data.Get(), 0, POINTL{}, &effect));
    ASSERT_EQ(S_OK, target.Drop(data.Get(), 0, POINTL{}, &effect));
    ASSERT_EQ(1u, target.formats.size());
    EXPECT_EQ(CF_DIB, target.formats[0]);
}

TEST_F(DropTarget, LeavingForgetsTheMatchedFormat) {
    RecordingTarget target({CF_DIB});
    auto data = DataWith({CF_DIB});
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target.DragEnter(data.Get(), 0, POINTL{}, &effect));
    ASSERT_EQ(S_OK, target.DragLeave());
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target.DragOver(0, POINTL{}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target.Drop(data.Get(), 0, POINTL{}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    EXPECT_TRUE(target.formats.empty());
}

TEST_F(DropTarget, KeepsTheMediumWhenTheDropSaysSo) {
    RecordingTarget target({CF_DIB});
    target.keepMedium = true;
    auto data = DataWith({CF_DIB});
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target.DragEnter(data.Get(), 0, POINTL{}, &effect));
    ASSERT_EQ(S_OK, target.Drop(data.Get(), 0, POINTL{}, &effect));
    ASSERT_NE(nullptr, target.kept.hGlobal);
    EXPECT_STREQ("data", reinterpret_cast<const char*>(GlobalBytes(target.kept.hGlobal).data()));
    ReleaseStgMedium(&target.kept);
}

TEST_F(DropTarget, NullArgumentsAreRejected) {
    RecordingTarget target;
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(E_INVALIDARG, target.DragEnter(nullptr, 0, POINTL{}, &effect));
    EXPECT_EQ(E_INVALIDARG, target.Drop(nullptr, 0, POINTL{}, &effect));
    CComRef<IDropTarget> self;
    EXPECT_EQ(S_OK, target.QueryInterface(IID_IDropTarget, self.ReceiveVoid()));
    CComRef<IDataObject> other;
    EXPECT_EQ(E_NOINTERFACE, target.QueryInterface(IID_IDataObject, other.ReceiveVoid()));
}

// The target is part of its window object: releasing the last reference must
// leave it alive, or the window object would be freed under its owner.
TEST_F(DropTarget, TheLastReleaseDoesNotDeleteIt) {
    RecordingTarget target;
    EXPECT_EQ(1u, target.AddRef());
    EXPECT_EQ(0u, target.Release());
    target.AddAcceptedFormat(CF_DIB, TYMED_HGLOBAL);
    auto data = DataWith({CF_DIB});
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(S_OK, target.DragEnter(data.Get(), 0, POINTL{}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
}

TEST_F(DropTarget, DestroyingTheWindowRevokesTheRegistration) {
    RecordingTarget target;
    const HWND window = PlainWindow();
    ASSERT_TRUE(target.RegisterDropTarget(window));
    EXPECT_EQ(window, target.GetDropWindow());
    EXPECT_GT(RefCount(&target), 0u) << "OLE holds the target while registered";
    RecordingTarget second;
    EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(window, &second));

    DestroyWindow(window);
    EXPECT_EQ(0u, RefCount(&target));
    EXPECT_EQ(nullptr, target.GetDropWindow());
}

TEST_F(DropTarget, ATargetThatDiesFirstLeavesItsWindowFree) {
    const HWND window = PlainWindow();
    {
        RecordingTarget early;
        ASSERT_TRUE(early.RegisterDropTarget(window));
    }
    RecordingTarget later;
    ASSERT_TRUE(later.RegisterDropTarget(window));
    EXPECT_GT(RefCount(&later), 0u);
    DestroyWindow(window);  // reaches no dead target
    EXPECT_EQ(0u, RefCount(&later));
}

TEST_F(DropTarget, RegisteringAgainMovesToTheNewWindow) {
    RecordingTarget target;
    const HWND first = PlainWindow();
    const HWND second = PlainWindow();
    ASSERT_TRUE(target.RegisterDropTarget(first));
    ASSERT_TRUE(target.RegisterDropTarget(second));
    EXPECT_EQ(second, target.GetDropWindow());
    RecordingTarget other;
    EXPECT_EQ(S_OK, RegisterDragDrop(first, &other)) << "the first window was released";
    RevokeDragDrop(first);
    DestroyWindow(first);
    DestroyWindow(second);
    EXPECT_EQ(0u, RefCount(&target));
    EXPECT_FALSE(target.RegisterDropTarget(nullptr));
}

// Every skinned window's paint manager is its drop target and lives inside the
// window object: OLE's last release at the window's end must not delete it.
TEST_F(DropTarget, APaintManagerIsRegisteredForItsWindowUntilTheWindowEnds) {
    auto host = std::make_unique<kvtest::Host>();
    IDropTarget* manager = &host->manager;
    RecordingTarget other;
    EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(host->GetHWND(), &other));
    EXPECT_GT(RefCount(manager), 0u);

    DestroyWindow(host->GetHWND());
    EXPECT_EQ(0u, RefCount(manager));
    host.reset();
}

TEST_F(DropTarget, APaintManagerTakesDroppedImagesWithTheirEffect) {
    kvtest::Host host;
    auto data = DataWith({CF_TEXT});
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, host.manager.DragEnter(data.Get(), 0, POINTL{}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect) << "text is not an image";

    CComRef<IDataObject> image = NewDataObject();
    Put(image.Get(), CF_BITMAP, BitmapMedium(SolidBitmap(4, 4, RGB(1, 2, 3))));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, host.manager.DragEnter(image.Get(), 0, POINTL{}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
    ASSERT_EQ(S_OK, host.manager.Drop(image.Get(), 0, POINTL{}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
}

