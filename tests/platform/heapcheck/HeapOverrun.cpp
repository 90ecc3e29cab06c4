// Writes past the end of a heap block on purpose; Wine's heap checking must report it.
#include <windows.h>

#include <cstring>

int wmain()
{
    HANDLE heap = GetProcessHeap();
    auto* block = static_cast<unsigned char*>(HeapAlloc(heap, 0, 16));
    if (!block)
        return 2;
    volatile size_t overrun = 24;
    std::memset(block, 0x5A, overrun);
    HeapFree(heap, 0, block);
    HeapValidate(heap, 0, nullptr);
    return 0;
}
