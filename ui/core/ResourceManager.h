#pragma once
// The process-wide registry of texts for controls whose text is a resource
// id, with the alias tables the image loader and the dialog builder consult.
#include <windows.h>

#include "ui/core/UIDefine.h"
#include "ui/core/UIString.h"
#include "ui/core/StringHashMap.h"

namespace KvUI {

class CResourceTextRegistry {
public:
    CResourceTextRegistry(const CResourceTextRegistry&) = delete;
    CResourceTextRegistry& operator=(const CResourceTextRegistry&) = delete;

    // Created on first use; freed by CPaintManagerUI::Term.
    static CResourceTextRegistry* GetInstance();
    static void ReleaseInstance();

    void SetTextProvider(IQueryControlText* provider) { m_provider = provider; }
    // The text for `id`: cached, else the provider's answer (then cached), else the id itself.
    CUIString GetText(LPCTSTR id, int type = 0);

    // Replacement names for images and skin files; null when there is none.
    LPCTSTR FindInSecondMap(LPCTSTR name);
    LPCTSTR FindInThirdMap(LPCTSTR name);

private:
    CResourceTextRegistry() = default;
    ~CResourceTextRegistry() = default;

    OwnedStringMap<CUIString> m_texts{83};
    IQueryControlText* m_provider = nullptr;
    OwnedStringMap<CUIString> m_imageAliases{83};
    OwnedStringMap<CUIString> m_skinFileAliases{83};
};

}  // namespace KvUI
