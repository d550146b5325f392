#include "ui/core/Delegate.h"

namespace KvUI {

CDelegateBase::CDelegateBase(void* object, const void* function, size_t size) : m_object(object) {
    memcpy(m_function, function, size < kMaxFunctionSize ? size : kMaxFunctionSize);
}

bool CDelegateBase::Equals(const CDelegateBase& other) const {
    return m_object == other.m_object && memcmp(m_function, other.m_function, kMaxFunctionSize) == 0;
}

void CEventSource::Add(const CDelegateBase& delegate) {
    for (const std::unique_ptr<CDelegateBase>& held : m_delegates) {
        if (held->Equals(delegate)) return;
    }
    if (std::unique_ptr<CDelegateBase> copy{delegate.Copy()}) m_delegates.push_back(std::move(copy));
}

bool CEventSource::Invoke(void* param) {
    // A delegate may add another while it runs: the walk goes by index.
    for (size_t i = 0; i < m_delegates.size(); ++i) {
        if (!m_delegates[i]->Invoke(param)) return false;
    }
    return true;
}

}  // namespace KvUI
