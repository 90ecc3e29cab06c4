// One deliberate memory fault a run, named by the argument, for measuring which faults each
// robustness mode catches: the guard-page allocator linked into this program, or Wine's heap
// checking (VYX_HEAP_CHECK=1 VYX_GUARD_ALLOCATOR=0). A fault that is caught fails the run.
// The faults are deliberate.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

volatile char g_sink;
volatile SIZE_T g_size = 13; // the compiler cannot see the faults coming

__attribute__((noinline)) void Write(char* block, SIZE_T at)
{
    static_cast<volatile char*>(block)[at] = 1;
}

__attribute__((noinline)) void Read(const char* block, SIZE_T at)
{
    g_sink = static_cast<const volatile char*>(block)[at];
}

char* Global(SIZE_T size)
{
    return static_cast<char*>(GlobalLock(GlobalAlloc(GMEM_MOVEABLE, size)));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* kind = argc > 1 ? argv[1] : L"";
    const SIZE_T size = g_size;
    if (!wcscmp(kind, L"new-write")) {
        Write(new char[size], size);
    } else if (!wcscmp(kind, L"new-read")) {
        Read(new char[size], size);
    } else if (!wcscmp(kind, L"malloc-write")) {
        Write(static_cast<char*>(malloc(size)), size);
    } else if (!wcscmp(kind, L"malloc-read")) {
        Read(static_cast<char*>(malloc(size)), size);
    } else if (!wcscmp(kind, L"global-write")) {
        Write(Global(size), size);
    } else if (!wcscmp(kind, L"global-read")) {
        Read(Global(size), size);
    } else if (!wcscmp(kind, L"freed-read")) {
        char* p = new char[size];
        delete[] p;
        Read(p, 0);
    } else if (!wcscmp(kind, L"freed-write")) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        char* p = static_cast<char*>(GlobalLock(block));
        GlobalUnlock(block);
        GlobalFree(block);
        Write(p, 0);
    } else if (!wcscmp(kind, L"system-heap-write")) {
        // As a plug-in or the system allocates: straight from the process heap.
        Write(static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size)), size);
    } else {
        return 2;
    }
    // The heap checks run at heap calls: give them one.
    HeapFree(GetProcessHeap(), 0, HeapAlloc(GetProcessHeap(), 0, 16));
    HeapValidate(GetProcessHeap(), 0, nullptr);
    return 0;
}
