// What the test plug-ins share: the record of a call, reading their input and their texts.
#pragma once

#include "image/plugins/SpiInterface.h"

#include "TestPluginProtocol.h"

#include <cstring>
#include <string>

#define PLUGIN_EXPORT extern "C" __declspec(dllexport)

namespace testplugin {

inline void RecordCall(TestPluginCalls& calls, const char* name, LONG_PTR length, unsigned flags)
{
    lstrcpynA(calls.lastName, name ? name : "", MAX_PATH);
    calls.lastLength = length;
    calls.lastFlags = flags;
}

// The input's bytes: memory (length = size), or a file read from offset on.
inline bool LoadInput(const char* source, LONG_PTR length, unsigned flags, LONG_PTR offset, std::string& bytes)
{
    if ((flags & SPI_INPUT_MASK) != SPI_INPUT_FILE) {
        if (!source || length < 0)
            return false;
        bytes.assign(source, static_cast<size_t>(length));
        return true;
    }
    HANDLE file = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    if (offset < 0 || static_cast<size_t>(offset) > bytes.size())
        return false;
    bytes.erase(0, static_cast<size_t>(offset));
    return true;
}

template <size_t N> int CopyInfoText(const char* const (&texts)[N], int index, LPSTR buffer, int size)
{
    if (index < 0 || index >= static_cast<int>(N) || !buffer || size < 1)
        return 0;
    lstrcpynA(buffer, texts[index], size);
    return lstrlenA(buffer);
}

inline HLOCAL LocalBlock(const std::string& bytes)
{
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE, bytes.size());
    if (block && !bytes.empty()) {
        std::memcpy(LocalLock(block), bytes.data(), bytes.size());
        LocalUnlock(block);
    }
    return block;
}

} // namespace testplugin
