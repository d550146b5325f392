#pragma once
// The packets a browser and its renderer exchange over their channel, and
// the byte form of their fields. Readers never read past the packet's end:
// a short or malformed packet reads as failed.
#include <cstdint>
#include <string>

#include "engine/impl/Variant.h"

namespace kvengine {

enum class PacketType : uint8_t {
    // browser to renderer
    Attach = 1,      // browser id, is pop-up
    Commit,          // navigation id, url, document (UTF-8), default encoding
    RunScript,       // code, script url, start line
    Exit,
    // renderer to browser
    DocumentReady,   // navigation id, title, text
    OpenPopup,       // target url, target name
    History,         // -1 back, 1 forward, 0 reload
    Navigate,        // url
    LoadString,      // document, url
    // both ways
    ProcessMessage,  // name, argument list
    Ping,            // sequence number
    Pong,            // sequence number
    // browser to renderer
    Viewport,        // width, height (device pixels), scale (F64)
    Click,           // x, y in the window, scroll offset
    // renderer to browser
    Display,         // navigation id, title, display list
};

class WireWriter {
public:
    explicit WireWriter(PacketType type) { U8(static_cast<uint8_t>(type)); }
    WireWriter& U8(uint8_t v);
    WireWriter& I32(int32_t v);
    WireWriter& U32(uint32_t v);
    WireWriter& F64(double v);
    WireWriter& Bytes(const std::string& v);
    WireWriter& Text(const std::wstring& v);
    WireWriter& Value(const Variant& v);
    std::string Take() { return std::move(m_bytes); }

private:
    template <class T>
    WireWriter& Raw(T v);

    std::string m_bytes;
};

class WireReader {
public:
    explicit WireReader(const std::string& packet) : m_data(packet) {}
    PacketType Type();
    uint8_t U8();
    int32_t I32();
    uint32_t U32();
    double F64();
    std::string Bytes();
    std::wstring Text();
    Variant Value();
    bool Ok() const { return m_ok; }

private:
    template <class T>
    T Raw();
    bool Take(void* out, size_t size);
    Variant ValueAtDepth(int depth);

    const std::string& m_data;
    size_t m_pos = 0;
    bool m_ok = true;
};

}  // namespace kvengine
