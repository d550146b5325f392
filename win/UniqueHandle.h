#pragma once
// The one owner of a handle that is freed by a single call. Each kind of
// handle names its traits once below; no code frees such a handle by hand.
#include <windows.h>

namespace kvwin {

// Traits: `Handle` (the handle type), `Invalid()` (the value that owns nothing)
// and `Free(handle)`.
template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(Normalise(handle)) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Invalid(); }

    Handle release() {
        const Handle handle = m_handle;
        m_handle = Traits::Invalid();
        return handle;
    }
    void reset(Handle handle = Traits::Invalid()) {
        const Handle old = m_handle;
        m_handle = Normalise(handle);
        if (old != Traits::Invalid()) Traits::Free(old);
    }

private:
    // Kernel calls report failure as null or INVALID_HANDLE_VALUE depending on
    // the call; an owner holds either as "nothing".
    static Handle Normalise(Handle handle) { return Traits::IsValid(handle) ? handle : Traits::Invalid(); }

    Handle m_handle = Traits::Invalid();
};

// Handles whose only invalid value is null.
template <class H, class F, F Function>
struct NullInvalidTraits {
    using Handle = H;
    static constexpr Handle Invalid() { return nullptr; }
    static bool IsValid(Handle handle) { return handle != nullptr; }
    static void Free(Handle handle) { Function(handle); }
};

// CloseHandle owners: files, events, threads, processes, mappings, snapshots.
// Null and INVALID_HANDLE_VALUE both mean "nothing".
struct KernelHandleTraits {
    using Handle = HANDLE;
    static constexpr Handle Invalid() { return nullptr; }
    static bool IsValid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Free(Handle handle) { CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

struct FindHandleTraits {
    using Handle = HANDLE;
    static constexpr Handle Invalid() { return nullptr; }
    static bool IsValid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Free(Handle handle) { FindClose(handle); }
};
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;

using UniqueModule = UniqueHandle<NullInvalidTraits<HMODULE, decltype(&FreeLibrary), &FreeLibrary>>;
using UniqueRegKey = UniqueHandle<NullInvalidTraits<HKEY, decltype(&RegCloseKey), &RegCloseKey>>;
using UniqueIcon = UniqueHandle<NullInvalidTraits<HICON, decltype(&DestroyIcon), &DestroyIcon>>;
using UniqueMenu = UniqueHandle<NullInvalidTraits<HMENU, decltype(&DestroyMenu), &DestroyMenu>>;
using UniqueAccelerators =
    UniqueHandle<NullInvalidTraits<HACCEL, decltype(&DestroyAcceleratorTable), &DestroyAcceleratorTable>>;
using UniqueGlobal = UniqueHandle<NullInvalidTraits<HGLOBAL, decltype(&GlobalFree), &GlobalFree>>;
// Memory a call hands out to be freed with LocalFree (CommandLineToArgvW, FormatMessage).
using UniqueLocal = UniqueHandle<NullInvalidTraits<HLOCAL, decltype(&LocalFree), &LocalFree>>;

}  // namespace kvwin
