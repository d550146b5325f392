#include "engine/CefProcessMessage.h"

#include "win/RefCounted.h"

namespace kvengine {

namespace {

class ProcessMessageImpl : public kvwin::RefCounted<CefProcessMessage> {
public:
    ProcessMessageImpl(CefString name, CefRefPtr<CefListValue> arguments)
        : m_name(std::move(name)), m_arguments(std::move(arguments)) {}

    CefRefPtr<CefProcessMessage> Copy() override { return new ProcessMessageImpl(m_name, m_arguments->Copy()); }
    CefString GetName() override { return m_name; }
    CefRefPtr<CefListValue> GetArgumentList() override { return m_arguments; }

private:
    const CefString m_name;
    const CefRefPtr<CefListValue> m_arguments;
};

}  // namespace

CefRefPtr<CefProcessMessage> CefProcessMessage::Create(const CefString& name) {
    return new ProcessMessageImpl(name, CefListValue::Create());
}

}  // namespace kvengine
