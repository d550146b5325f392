#include "ui/core/EnumFormatEtc.h"

#include <cstring>
#include <new>

namespace KvUI {
namespace {

DVTARGETDEVICE* CopyTargetDevice(const DVTARGETDEVICE* device) {
    if (!device) return nullptr;
    auto* copy = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(device->tdSize));
    if (copy) std::memcpy(copy, device, device->tdSize);
    return copy;
}

}  // namespace

CFormatEtcCopy::CFormatEtcCopy(const FORMATETC& format) : m_format(format) {
    if (format.ptd) {
        m_device.reset(CopyTargetDevice(format.ptd));
        if (!m_device) throw std::bad_alloc();
    }
    m_format.ptd = m_device.get();
}

bool CFormatEtcCopy::CopyOut(FORMATETC& out) const {
    out = m_format;
    out.ptd = CopyTargetDevice(m_format.ptd);
    return !m_format.ptd || out.ptd;
}

CEnumFormatEtc::CEnumFormatEtc(const std::vector<CFormatEtcCopy>& formats, ULONG position)
    : m_position(position) {
    m_formats.reserve(formats.size());
    for (const CFormatEtcCopy& format : formats) m_formats.emplace_back(format.Get());
}

HRESULT CEnumFormatEtc::QueryInterface(REFIID iid, void** object) {
    return kvwin::QueryInterfaceFor<IEnumFORMATETC>(this, iid, object);
}

HRESULT CEnumFormatEtc::Next(ULONG count, FORMATETC* out, ULONG* fetched) {
    if (fetched) *fetched = 0;
    const ULONG size = static_cast<ULONG>(m_formats.size());
    if (count == 0 || !out || m_position >= size || (!fetched && count != 1)) return S_FALSE;

    ULONG copied = 0;
    for (; copied < count && m_position + copied < size; ++copied) {
        if (!m_formats[m_position + copied].CopyOut(out[copied])) {
            for (ULONG i = 0; i < copied; ++i) CoTaskMemFree(out[i].ptd);
            return E_OUTOFMEMORY;
        }
    }
    m_position += copied;
    if (fetched) *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT CEnumFormatEtc::Skip(ULONG count) {
    // Landing exactly on the end is a complete skip; only passing it falls short.
    if (count > m_formats.size() - m_position) return S_FALSE;
    m_position += count;
    return S_OK;
}

HRESULT CEnumFormatEtc::Reset() {
    m_position = 0;
    return S_OK;
}

HRESULT CEnumFormatEtc::Clone(IEnumFORMATETC** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        *out = new CEnumFormatEtc(m_formats, m_position);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    (*out)->AddRef();
    return S_OK;
}

}  // namespace KvUI
