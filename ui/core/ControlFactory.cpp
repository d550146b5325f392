#include "ui/core/ControlFactory.h"

#include <memory>

namespace KvUI {
namespace {

std::unique_ptr<CControlFactory>& Instance() {
    static std::unique_ptr<CControlFactory> instance;
    return instance;
}

// Set once, when the program starts, by the unit that knows every standard control.
RegisterClasses& StandardClasses() {
    static RegisterClasses registerClasses = nullptr;
    return registerClasses;
}

CUIString LowerCase(LPCTSTR name) {
    CUIString lower(name);
    lower.MakeLower();
    return lower;
}

}  // namespace

CControlFactory::CControlFactory() {
    if (const RegisterClasses registerClasses = StandardClasses()) registerClasses(*this);
}

void CControlFactory::SetStandardClasses(RegisterClasses registerClasses) { StandardClasses() = registerClasses; }

CControlFactory* CControlFactory::GetInstance() {
    std::unique_ptr<CControlFactory>& instance = Instance();
    if (!instance) instance.reset(new CControlFactory());
    return instance.get();
}

void CControlFactory::DestroyInstance() { Instance().reset(); }

CControlUI* CControlFactory::CreateControl(LPCTSTR className) const {
    if (!className) return nullptr;
    const auto it = m_creators.find(LowerCase(className));
    return it == m_creators.end() ? nullptr : it->second();
}

void CControlFactory::RegistControl(LPCTSTR className, CreateClass creator) {
    if (!className || !creator) return;
    m_creators[LowerCase(className)] = creator;
}

}  // namespace KvUI
