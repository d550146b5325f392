#include "ui/core/ResourceManager.h"

namespace KvUI {
namespace {

CResourceTextRegistry*& Instance() {
    static CResourceTextRegistry* instance = nullptr;
    return instance;
}

}  // namespace

CResourceTextRegistry* CResourceTextRegistry::GetInstance() {
    CResourceTextRegistry*& instance = Instance();
    if (!instance) instance = new CResourceTextRegistry();
    return instance;
}

void CResourceTextRegistry::ReleaseInstance() {
    CResourceTextRegistry*& instance = Instance();
    delete instance;
    instance = nullptr;
}

CResourceTextRegistry::~CResourceTextRegistry() {
    for (int i = 0; i < m_texts.GetSize(); ++i) {
        if (LPCTSTR key = m_texts.GetAt(i)) delete static_cast<CUIString*>(m_texts.Find(key, false));
    }
}

CUIString CResourceTextRegistry::GetText(LPCTSTR id, int type) {
    if (!id) return CUIString();
    if (auto* cached = static_cast<CUIString*>(m_texts.Find(id))) return *cached;
    if (!m_provider) return CUIString(id);
    auto* text = new CUIString(m_provider->QueryControlText(id, type));
    if (!m_texts.Insert(id, text)) {
        CUIString answer = *text;
        delete text;
        return answer;
    }
    return *text;
}

LPCTSTR CResourceTextRegistry::FindInSecondMap(LPCTSTR name) {
    if (!name) return nullptr;
    auto* alias = static_cast<CUIString*>(m_imageAliases.Find(name));
    return alias ? alias->GetData() : nullptr;
}

LPCTSTR CResourceTextRegistry::FindInThirdMap(LPCTSTR name) {
    if (!name) return nullptr;
    auto* alias = static_cast<CUIString*>(m_skinFileAliases.Find(name));
    return alias ? alias->GetData() : nullptr;
}

}  // namespace KvUI
