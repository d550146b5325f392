#include "ui/core/ZipInput.h"

#include "ui/core/ZipArchive.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace KvUI {
namespace {

// As large as the unzip library's own data reads, which then bypass it.
constexpr size_t kReadAheadSize = 16384;

bool FilePosition(HANDLE file, unsigned long long& position) {
    LARGE_INTEGER zero{};
    LARGE_INTEGER now{};
    if (!SetFilePointerEx(file, zero, &now, FILE_CURRENT)) return false;
    position = static_cast<unsigned long long>(now.QuadPart);
    return true;
}

// base + offset when it is a position (not negative, no overflow).
bool Offset(unsigned long long base, long long offset, unsigned long long& result) {
    if (offset < 0) {
        const unsigned long long back = 0ull - static_cast<unsigned long long>(offset);
        if (back > base) return false;
        result = base - back;
        return true;
    }
    const unsigned long long forward = static_cast<unsigned long long>(offset);
    if (forward > static_cast<unsigned long long>(std::numeric_limits<long long>::max()) - base) return false;
    result = base + forward;
    return true;
}

}  // namespace

DWORD ZipInput::Open(const void* source, unsigned int length, DWORD kind) {
    Close();
    switch (kind) {
        case ZIP_HANDLE: {
            const HANDLE file = const_cast<HANDLE>(source);
            if (!file || file == INVALID_HANDLE_VALUE) return ZR_ARGS;
            // Positions are kept relative to where the caller left the handle.
            if (!FilePosition(file, m_startOffset)) return ZR_SEEK;
            m_file = file;
            break;
        }
        case ZIP_FILENAME: {
            const auto* name = static_cast<LPCWSTR>(source);
            if (!name || !*name) return ZR_ARGS;
            const HANDLE file = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) return ZR_NOFILE;
            m_ownedFile.reset(file);
            m_file = file;
            m_startOffset = 0;
            break;
        }
        case ZIP_MEMORY:
            if (!source && length) return ZR_ARGS;
            m_block = static_cast<const BYTE*>(source);
            m_blockLength = length;
            m_blockPosition = 0;
            return ZR_OK;
        default:
            return ZR_ARGS;
    }
    m_isHandle = true;
    m_canSeek = true;
    m_readError = false;
    m_filePosition = m_startOffset;
    return ZR_OK;
}

size_t ZipInput::Read(void* buffer, size_t size, size_t count) {
    if (!size || !count || !buffer) return 0;
    if (count > std::numeric_limits<size_t>::max() / size) return 0;
    const size_t wanted = size * count;
    auto* out = static_cast<BYTE*>(buffer);
    if (!m_isHandle) {
        const size_t taken = std::min(wanted, m_blockLength - m_blockPosition);
        if (taken) std::memcpy(out, m_block + m_blockPosition, taken);
        m_blockPosition += taken;
        return taken / size;
    }
    size_t done = TakeReadAhead(out, wanted);
    if (done < wanted && wanted - done >= kReadAheadSize) {
        const size_t got = ReadFileAt(m_filePosition, out + done, wanted - done);
        m_filePosition += got;
        done += got;
    } else if (done < wanted) {
        if (m_readAhead.empty()) m_readAhead.resize(kReadAheadSize);
        m_readAheadStart = m_filePosition;
        m_readAheadLength = ReadFileAt(m_filePosition, m_readAhead.data(), kReadAheadSize);
        done += TakeReadAhead(out + done, wanted - done);
    }
    return done / size;
}

int ZipInput::Seek(long long offset, int origin) {
    if (m_isHandle) {
        if (!m_canSeek) return SeekNotSeekable;
        unsigned long long base = m_startOffset;
        switch (origin) {
            case 0:
                break;
            case 1:
                base = m_filePosition;
                break;
            case 2: {
                LARGE_INTEGER size{};
                if (!GetFileSizeEx(m_file, &size)) return SeekNotSeekable;
                base = static_cast<unsigned long long>(size.QuadPart);
                break;
            }
            default:
                return SeekInvalid;
        }
        unsigned long long target = 0;
        if (!Offset(base, offset, target)) return SeekInvalid;
        m_filePosition = target;
        return 0;
    }
    unsigned long long base = 0;
    switch (origin) {
        case 0:
            break;
        case 1:
            base = m_blockPosition;
            break;
        case 2:
            base = m_blockLength;
            break;
        default:
            return SeekInvalid;
    }
    // Damaged archives name offsets anywhere: only positions inside the block are taken.
    unsigned long long target = 0;
    if (!Offset(base, offset, target) || target > m_blockLength) return SeekInvalid;
    m_blockPosition = static_cast<size_t>(target);
    return 0;
}

unsigned long long ZipInput::Tell() const {
    if (!m_isHandle) return m_blockPosition;
    if (!m_canSeek || m_filePosition < m_startOffset) return 0;
    return m_filePosition - m_startOffset;
}

void ZipInput::Close() {
    m_ownedFile.reset();
    m_isHandle = false;
    m_canSeek = false;
    m_file = INVALID_HANDLE_VALUE;
    m_readError = false;
    m_startOffset = 0;
    m_filePosition = 0;
    m_readAhead = {};
    m_readAheadStart = 0;
    m_readAheadLength = 0;
    m_block = nullptr;
    m_blockLength = 0;
    m_blockPosition = 0;
}

size_t ZipInput::TakeReadAhead(BYTE* out, size_t wanted) {
    if (m_filePosition < m_readAheadStart || m_filePosition - m_readAheadStart >= m_readAheadLength) return 0;
    const size_t offset = static_cast<size_t>(m_filePosition - m_readAheadStart);
    const size_t taken = std::min(wanted, m_readAheadLength - offset);
    std::memcpy(out, m_readAhead.data() + offset, taken);
    m_filePosition += taken;
    return taken;
}

size_t ZipInput::ReadFileAt(unsigned long long offset, BYTE* out, size_t wanted) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<long long>(offset);
    if (!SetFilePointerEx(m_file, position, nullptr, FILE_BEGIN)) {
        m_readError = true;
        return 0;
    }
    size_t done = 0;
    while (done < wanted) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(wanted - done, 0x40000000u));
        DWORD got = 0;
        if (!ReadFile(m_file, out + done, chunk, &got, nullptr)) {
            m_readError = true;
            break;
        }
        if (!got) break;
        done += got;
    }
    return done;
}

}  // namespace KvUI
