// A picture file opened once for a chain of decoders: its first bytes for the probe and, for the
// decoders that read memory as they read files, the whole of it, read into a buffer that is kept
// for the next file. Nothing is opened until asked; the file is closed as soon as it is not needed.
#pragma once

#include "image/plugins/SpiInterface.h"

#include <windows.h>

#include <memory>
#include <vector>

class PictureFileBytes
{
public:
    explicit PictureFileBytes(const wchar_t* path) : m_path(path) {}
    ~PictureFileBytes();
    PictureFileBytes(const PictureFileBytes&) = delete;
    PictureFileBytes& operator=(const PictureFileBytes&) = delete;

    // The first bytes (at most the probe's head), or null when the file gives none.
    const BYTE* Head(int* length);
    // The whole file, or null when it cannot be held (the decoder then reads it by name).
    const BYTE* Whole(DWORD* size);
    // The file is closed (the bytes read stay); a later Whole opens it again.
    void Release();

    // Files larger than this are left to the decoder to read.
    static constexpr DWORD WholeFileLimit = 256u << 20;

private:
    bool Open();
    void ReleaseBuffer();

    const wchar_t* m_path;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    bool m_openFailed = false;
    bool m_whole = false;
    bool m_failed = false;
    DWORD m_size = 0;
    BYTE m_head[SPI_HEAD_BYTES];
    int m_headLength = 0;
    // The buffer the bytes are in: the kept one, or memory of this file's own.
    std::unique_ptr<std::vector<BYTE>> m_kept;
    std::unique_ptr<BYTE[]> m_own;
    BYTE* m_bytes = nullptr;
};
