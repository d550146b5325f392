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

CUIString CResourceTextRegistry::GetText(LPCTSTR id, int type) {
    if (!id) return CUIString();
    if (const CUIString* cached = m_texts.Find(id)) return *cached;
    if (!m_provider) return CUIString(id);
    CUIString answer(m_provider->QueryControlText(id, type));
    m_texts.Insert(id, std::make_unique<CUIString>(answer));
    return answer;
}

LPCTSTR CResourceTextRegistry::FindInSecondMap(LPCTSTR name) {
    if (!name) return nullptr;
    const CUIString* alias = m_imageAliases.Find(name);
    return alias ? alias->GetData() : nullptr;
}

LPCTSTR CResourceTextRegistry::FindInThirdMap(LPCTSTR name) {
    if (!name) return nullptr;
    const CUIString* alias = m_skinFileAliases.Find(name);
    return alias ? alias->GetData() : nullptr;
}

}  // namespace KvUI
