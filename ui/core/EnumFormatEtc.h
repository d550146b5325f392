#pragma once
// The list of formats a data object holds, as OLE walks it.
#include <windows.h>
#include <objidl.h>

#include <memory>
#include <vector>

#include "win/ComObject.h"

namespace KvUI {

// A FORMATETC that owns its own copy of the target-device block.
class CFormatEtcCopy {
public:
    // Throws std::bad_alloc when the target-device block cannot be copied.
    explicit CFormatEtcCopy(const FORMATETC& format);

    const FORMATETC& Get() const { return m_format; }
    // A copy for a caller that frees the target-device block with CoTaskMemFree.
    bool CopyOut(FORMATETC& out) const;

private:
    struct TaskMemFree {
        void operator()(DVTARGETDEVICE* device) const { CoTaskMemFree(device); }
    };

    FORMATETC m_format;
    std::unique_ptr<DVTARGETDEVICE, TaskMemFree> m_device;
};

// The count starts at 0 and the last Release deletes the object.
class CEnumFormatEtc final : public kvwin::ComObject<IEnumFORMATETC> {
public:
    // Throws std::bad_alloc when the list cannot be copied.
    explicit CEnumFormatEtc(const std::vector<CFormatEtcCopy>& formats, ULONG position = 0);
    CEnumFormatEtc(const CEnumFormatEtc&) = delete;
    CEnumFormatEtc& operator=(const CEnumFormatEtc&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* out, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override;

private:
    ~CEnumFormatEtc() = default;

    std::vector<CFormatEtcCopy> m_formats;
    ULONG m_position = 0;
};

}  // namespace KvUI
