#pragma once
#include <windows.h>
#include <oaidl.h>

#include "ui/controls/ActiveXUI.h"
#include "win/ComObject.h"

namespace KvUI {

// Hosts the Shockwave Flash object and listens to its events, which are
// answered without effect. Its lifetime is the UI tree's: the count of its
// event sink frees nothing.
class CFlashUI : public CActiveXUI, public kvwin::ComObjectNoDelete<IDispatch>, public ITranslateAccelerator {
public:
    CFlashUI();
    ~CFlashUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    bool DoCreateControl() override;
    void ReleaseControl() override;

    // The _IShockwaveFlashEvents sink.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // Not registered with the paint manager: an application may call it.
    LRESULT TranslateAccelerator(MSG* msg) override;

private:
    HRESULT RegisterEventHandler(bool connect);

    // The object's IShockwaveFlash interface; only its IDispatch base is used.
    kvwin::CComRef<IDispatch> m_flash;
    DWORD m_eventCookie = 0;
};

}  // namespace KvUI
