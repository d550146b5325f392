#pragma once
// The byte source an archive is read from: an open file handle, a file opened
// by name, or a memory block. The unzip library reads through it.
#include <windows.h>

#include <cstddef>
#include <vector>

#include "win/UniqueHandle.h"

namespace KvUI {

class ZipInput {
public:
    // Answers of Seek besides 0 (success).
    static constexpr int SeekNotSeekable = 29;
    static constexpr int SeekInvalid = 19;

    ZipInput() = default;
    ZipInput(const ZipInput&) = delete;
    ZipInput& operator=(const ZipInput&) = delete;
    ~ZipInput() { Close(); }

    // `kind` is ZIP_HANDLE (source is a HANDLE, left open by Close), ZIP_FILENAME
    // (source is a wide file name) or ZIP_MEMORY (source is `length` bytes that must
    // outlive the input). 0, 0x10000 for a bad kind or source, 0x200 when the file
    // cannot be opened.
    DWORD Open(const void* source, unsigned int length, DWORD kind);
    // Reads `count` items of `size` bytes; returns the number of whole items read.
    size_t Read(void* buffer, size_t size, size_t count);
    // Origins 0 (start), 1 (current), 2 (end); 0 on success.
    int Seek(long long offset, int origin);
    unsigned long long Tell() const;
    void Close();

    bool HasReadError() const { return m_readError; }

private:
    size_t TakeReadAhead(BYTE* out, size_t wanted);
    size_t ReadFileAt(unsigned long long offset, BYTE* out, size_t wanted);

    bool m_isHandle = false;
    bool m_canSeek = false;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    kvwin::UniqueKernelHandle m_ownedFile;  // m_file when the input opened it itself
    bool m_readError = false;
    unsigned long long m_startOffset = 0;
    // The unzip library reads headers a few bytes at a time: file sources keep
    // their own position and read ahead instead of asking the system each time.
    unsigned long long m_filePosition = 0;
    std::vector<BYTE> m_readAhead;
    unsigned long long m_readAheadStart = 0;
    size_t m_readAheadLength = 0;
    const BYTE* m_block = nullptr;
    size_t m_blockLength = 0;
    size_t m_blockPosition = 0;
};

}  // namespace KvUI
