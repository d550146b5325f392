#include "ui/controls/FlashUI.h"

#include "ui/core/AttributeValue.h"

namespace KvUI {
namespace {

constexpr wchar_t kFlashClsid[] = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";
constexpr IID kShockwaveFlash = {0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID kShockwaveFlashEvents = {0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

}  // namespace

CFlashUI::CFlashUI() { CLSIDFromString(kFlashClsid, &m_clsid); }

CFlashUI::~CFlashUI() { CFlashUI::ReleaseControl(); }

LPCTSTR CFlashUI::GetClass() const { return L"Flash"; }

LPVOID CFlashUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"Flash")) return static_cast<CFlashUI*>(this);
    return CActiveXUI::GetInterface(name);
}

bool CFlashUI::DoCreateControl() {
    if (!CActiveXUI::DoCreateControl()) return false;
    GetControl(kShockwaveFlash, m_flash.ReceiveVoid());
    RegisterEventHandler(true);
    return true;
}

void CFlashUI::ReleaseControl() {
    if (m_eventCookie) RegisterEventHandler(false);
    m_flash.Reset();
    // The hosted object goes too: a new one replaces it on re-creation.
    CActiveXUI::ReleaseControl();
}

STDMETHODIMP CFlashUI::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, kShockwaveFlashEvents)) {
        return E_NOINTERFACE;
    }
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP CFlashUI::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }
STDMETHODIMP CFlashUI::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
STDMETHODIMP CFlashUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

// Every event of the movie is taken and left without effect.
STDMETHODIMP CFlashUI::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) { return S_OK; }

LRESULT CFlashUI::TranslateAccelerator(MSG* msg) { return TranslateKeyInHost(m_flash.Get(), msg); }

HRESULT CFlashUI::RegisterEventHandler(bool connect) {
    if (!m_flash) return S_FALSE;
    return ConnectEvents(m_flash.Get(), kShockwaveFlashEvents, static_cast<IDispatch*>(this), m_eventCookie, connect);
}

}  // namespace KvUI
