#pragma once
// The client's two message dialogs in its own look: a message box that shows
// a text in one of three colour schemes, and the question asked before the
// program closes. Both are modal and live on the caller's stack.
#include <windows.h>

#include <string>
#include <utility>

#include "client/DialogFrame.h"

namespace KvUI {
class CControlUI;
}  // namespace KvUI

namespace kvclient {

// Shows `text` modally. `kind` picks the colours: 0 error, 1 warning,
// 2 information, anything else the skin's own. Without `okVisible` only the
// close button and Escape end it.
void ShowMessageBox(const std::wstring& text, int kind, bool okVisible, HWND parent);

// Asks `text`; true only when the user confirms with "btn_ok".
bool ShowClosePanel(const std::wstring& text, HWND parent);

// What both dialogs share: the text, the buttons and the answer.
class MessageFrameBase : public DialogFrame {
public:
    explicit MessageFrameBase(std::wstring text) : m_text(std::move(text)) {}

    void InitWindow() override;
    void OnClick(KvUI::TUINotify& msg) override;

    // 1 after "btn_ok", otherwise 0.
    int GetResult() const { return m_result; }

protected:
    std::wstring m_text;
    int m_result = 0;
    KvUI::CControlUI* m_labText = nullptr;
    KvUI::CControlUI* m_btnOk = nullptr;
    KvUI::CControlUI* m_rootLayout = nullptr;
    KvUI::CControlUI* m_leftLayout = nullptr;
};

class MessageBoxFrame : public MessageFrameBase {
public:
    MessageBoxFrame(std::wstring text, int kind, bool okVisible);

    LPCTSTR GetWindowClassName() const override;
    void InitWindow() override;

protected:
    KvUI::CUIString GetSkinFile() override;

private:
    void ApplyColourScheme();

    int m_kind;
    bool m_okVisible;
};

class MessagePanleFrame : public MessageFrameBase {
public:
    using MessageFrameBase::MessageFrameBase;

    LPCTSTR GetWindowClassName() const override;

protected:
    KvUI::CUIString GetSkinFile() override;
};

}  // namespace kvclient
