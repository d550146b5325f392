#include "engine/impl/Wire.h"

#include <cstring>

namespace kvengine {
namespace {

// Deeper trees than this are refused rather than read by deep recursion.
constexpr int kMaxDepth = 64;

}  // namespace

WireWriter& WireWriter::U8(uint8_t v) {
    m_bytes += static_cast<char>(v);
    return *this;
}

WireWriter& WireWriter::I32(int32_t v) { return Raw(v); }

WireWriter& WireWriter::U32(uint32_t v) { return Raw(v); }

WireWriter& WireWriter::F64(double v) { return Raw(v); }

// Fixed-size fields travel in the machine's own byte order: both ends are the same executable.
template <class T>
WireWriter& WireWriter::Raw(T v) {
    m_bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
    return *this;
}

WireWriter& WireWriter::Bytes(const std::string& v) {
    U32(static_cast<uint32_t>(v.size()));
    m_bytes += v;
    return *this;
}

WireWriter& WireWriter::Text(const std::wstring& v) {
    U32(static_cast<uint32_t>(v.size()));
    m_bytes.append(reinterpret_cast<const char*>(v.data()), v.size() * sizeof(wchar_t));
    return *this;
}

WireWriter& WireWriter::Value(const Variant& v) {
    U8(static_cast<uint8_t>(v.type));
    switch (v.type) {
    case VTYPE_BOOL: U8(v.boolValue ? 1 : 0); break;
    case VTYPE_INT: I32(v.intValue); break;
    case VTYPE_DOUBLE: F64(v.doubleValue); break;
    case VTYPE_STRING: Text(v.stringValue); break;
    case VTYPE_LIST:
        U32(static_cast<uint32_t>(v.list.size()));
        for (const Variant& item : v.list) Value(item);
        break;
    case VTYPE_DICTIONARY:
        U32(static_cast<uint32_t>(v.dictionary->size()));
        for (const auto& member : *v.dictionary) {
            Text(member.first);
            Value(member.second);
        }
        break;
    default: break;
    }
    return *this;
}

bool WireReader::Take(void* out, size_t size) {
    if (!m_ok || m_data.size() - m_pos < size) {
        m_ok = false;
        return false;
    }
    std::memcpy(out, m_data.data() + m_pos, size);
    m_pos += size;
    return true;
}

PacketType WireReader::Type() { return static_cast<PacketType>(U8()); }

uint8_t WireReader::U8() { return Raw<uint8_t>(); }

int32_t WireReader::I32() { return Raw<int32_t>(); }

uint32_t WireReader::U32() { return Raw<uint32_t>(); }

double WireReader::F64() { return Raw<double>(); }

// 0 when the packet is too short.
template <class T>
T WireReader::Raw() {
    T v{};
    Take(&v, sizeof v);
    return v;
}

std::string WireReader::Bytes() {
    const uint32_t size = U32();
    if (!m_ok || m_data.size() - m_pos < size) {
        m_ok = false;
        return {};
    }
    std::string v = m_data.substr(m_pos, size);
    m_pos += size;
    return v;
}

std::wstring WireReader::Text() {
    const uint32_t size = U32();
    if (!m_ok || (m_data.size() - m_pos) / sizeof(wchar_t) < size) {
        m_ok = false;
        return {};
    }
    std::wstring v(size, L'\0');
    Take(v.data(), size * sizeof(wchar_t));
    return v;
}

Variant WireReader::Value() { return ValueAtDepth(0); }

Variant WireReader::ValueAtDepth(int depth) {
    if (depth > kMaxDepth) {
        m_ok = false;
        return {};
    }
    const auto type = static_cast<CefValueType>(U8());
    switch (type) {
    case VTYPE_NULL: return Variant::Null();
    case VTYPE_BOOL: return Variant::Bool(U8() != 0);
    case VTYPE_INT: return Variant::Int(I32());
    case VTYPE_DOUBLE: return Variant::Double(F64());
    case VTYPE_STRING: return Variant::String(Text());
    case VTYPE_LIST: {
        const uint32_t count = U32();
        VariantList items;
        for (uint32_t i = 0; i < count && m_ok; ++i) items.push_back(ValueAtDepth(depth + 1));
        return Variant::List(std::move(items));
    }
    case VTYPE_DICTIONARY: {
        const uint32_t count = U32();
        VariantMap members;
        for (uint32_t i = 0; i < count && m_ok; ++i) {
            std::wstring key = Text();
            members[std::move(key)] = ValueAtDepth(depth + 1);
        }
        return Variant::Dictionary(std::move(members));
    }
    default:
        m_ok = false;
        return {};
    }
}

}  // namespace kvengine
