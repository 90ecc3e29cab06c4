// The guard-page allocator of the robustness programs. Every block that new, malloc and the
// program's own GlobalAlloc calls hand out ends exactly where a no-access page begins, and a freed
// block stays inaccessible for a long while, so reading or writing one byte past a block, or a
// block already freed, faults at once. (Wine's heap checking finds only writes, and only at the
// next heap check, while tracing every heap call: far too slow for thousands of inputs.)
//
// Blocks live in one reserved arena. A slot is the block's committed pages and at least one
// reserved page after them; the slot's first bytes hold its header, and the four bytes before
// the block point back to the slot. Blocks are placed at their natural alignment (the largest
// power of two dividing the size, at most 16), which every object of that size allows.
//
// GlobalAlloc blocks: the program's imports of the GlobalAlloc family are pointed here. A fixed
// block's handle is its address; a movable block's handle is an address in a reserved range that
// is never committed, so using a handle as a pointer faults. Handles from elsewhere (plug-ins,
// the system) pass on to the system.
//
// The meter (GuardMeter.h) counts the bytes of the arena's live blocks and the most they came to
// since it was restarted, so that a robustness run can bound the memory one input takes.
//
// A plug-in DLL the program loads can be adopted: its own imports of the same families (and of
// the LocalAlloc family, which plug-ins hand their pictures in) are pointed here as well, and the
// program's LocalAlloc family too, so that blocks may pass between the two.
//
// Every live block is two mappings of the host (its pages and its guard), and the host allows a
// process some 65,000: past kLiveSlots live blocks, new ones come unguarded from the runtime and
// the system (the meter does not count them) rather than failing the run.
//
// VYX_GUARD_ALLOCATOR=0 passes everything to the runtime and the system, for Wine's heap checks.
#include "GuardMeter.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

namespace {

constexpr SIZE_T kPage = 4096;
constexpr DWORD kLive = 0x56594C42;  // "BLYV"
constexpr DWORD kFreed = 0x56594C46; // "FLYV"
constexpr SIZE_T kQuarantineSlots = 16384;
constexpr SIZE_T kHandles = 1 << 20;
constexpr SIZE_T kQuarantinePages = 32768; // 128 MB of freed address space kept inaccessible
constexpr SIZE_T kBuckets = 4096;          // exact-size reuse up to 16 MB
constexpr LONG kLiveSlots = 20000;

enum Kind : WORD { KindMemory = 0, KindGlobalFixed = 1, KindGlobalMovable = 2 };

struct Header
{
    DWORD magic;
    DWORD size;      // the block's bytes
    DWORD pages;     // committed pages
    DWORD slotPages; // the slot's pages, the guard included
    WORD kind;
    WORD locks;
    DWORD flags;  // GlobalAlloc flags
    DWORD handle; // a movable block's handle number
    BYTE* block;
};

struct Slot
{
    BYTE* start;
    DWORD pages;
};

// Bookkeeping lives on a private heap of its own, never in the arena.
template <class T> class RawList
{
public:
    void Push(const T& value)
    {
        if (m_count == m_capacity) {
            SIZE_T capacity = m_capacity ? m_capacity * 2 : 16;
            void* grown = m_data ? HeapReAlloc(Heap(), 0, m_data, capacity * sizeof(T))
                                 : HeapAlloc(Heap(), 0, capacity * sizeof(T));
            if (!grown)
                return; // the slot is simply not reused
            m_data = static_cast<T*>(grown);
            m_capacity = capacity;
        }
        m_data[m_count++] = value;
    }
    bool Pop(T& value)
    {
        if (!m_count)
            return false;
        value = m_data[--m_count];
        return true;
    }
    SIZE_T Count() const { return m_count; }
    T& At(SIZE_T i) { return m_data[i]; }
    void RemoveAt(SIZE_T i) { m_data[i] = m_data[--m_count]; }

    static HANDLE Heap()
    {
        static HANDLE heap; // no guarded static: the first allocation comes before threads
        if (!heap)
            heap = HeapCreate(0, 0, 0);
        return heap;
    }

private:
    T* m_data = nullptr;
    SIZE_T m_count = 0;
    SIZE_T m_capacity = 0;
};

class SpinLock
{
public:
    void Lock()
    {
        while (InterlockedCompareExchange(&m_state, 1, 0) != 0)
            Sleep(0);
    }
    void Unlock() { InterlockedExchange(&m_state, 0); }

private:
    volatile LONG m_state = 0;
};

class Guard
{
public:
    explicit Guard(SpinLock& lock) : m_lock(lock) { m_lock.Lock(); }
    ~Guard() { m_lock.Unlock(); }

private:
    SpinLock& m_lock;
};

[[noreturn]] void Fail(const char* what, const void* where)
{
    fprintf(stderr, "guard allocator: %s %p\n", what, where);
    fflush(stderr);
    RaiseException(0xE0475541, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    abort();
}

// The arena's live bytes and the most they came to since the last restart; the largest block
// asked for since then, granted or not.
volatile LONG s_liveBytes = 0;
volatile LONG s_peakBytes = 0;
volatile SIZE_T s_largestRequest = 0;

void CountRequest(SIZE_T size)
{
    if (size > s_largestRequest)
        s_largestRequest = size; // a race only loses a request as large as another one
}

void CountAllocated(SIZE_T size)
{
    LONG live = InterlockedExchangeAdd(&s_liveBytes, static_cast<LONG>(size)) + static_cast<LONG>(size);
    for (LONG peak = s_peakBytes; live > peak; peak = s_peakBytes)
        if (InterlockedCompareExchange(&s_peakBytes, live, peak) == peak)
            break;
}

void CountReleased(SIZE_T size)
{
    InterlockedExchangeAdd(&s_liveBytes, -static_cast<LONG>(size));
}

class Arena
{
public:
    // Made by the first allocation, which comes from the runtime's start-up before any thread.
    // No guarded static: the runtime's guard would itself allocate and come back here.
    static Arena& Get()
    {
        alignas(Arena) static char storage[sizeof(Arena)];
        static Arena* arena;
        if (!arena)
            arena = new (storage) Arena;
        return *arena;
    }

    bool Enabled() const { return m_base != nullptr; }
    // Whether a new block should pass the arena by (see kLiveSlots); a race only lets one more in.
    bool Crowded() const { return m_liveSlots >= kLiveSlots; }
    bool Owns(const void* p) const
    {
        auto* b = static_cast<const BYTE*>(p);
        return (b >= m_base && b < m_end) || IsHandle(p);
    }
    bool IsHandle(const void* p) const
    {
        auto* b = static_cast<const BYTE*>(p);
        return m_handles && b >= m_handles && b < m_handles + kHandles * 4;
    }

    void* Allocate(SIZE_T size, SIZE_T alignment, Kind kind, DWORD flags)
    {
        CountRequest(size);
        if (size > 0x7FFFFFFF)
            return nullptr;
        if (!alignment) {
            alignment = 16;
            while (alignment > 1 && (size & (alignment - 1)))
                alignment /= 2;
        }
        // The header, the back pointer and the alignment slack come before the block.
        SIZE_T pages = (sizeof(Header) + sizeof(BYTE*) + alignment + size + kPage - 1) / kPage;
        Guard guard(m_lock);
        Slot slot;
        if (!Take(pages, slot))
            return nullptr;
        if (!VirtualAlloc(slot.start, pages * kPage, MEM_COMMIT, PAGE_READWRITE)) {
            m_free[Bucket(slot.pages)].Push(slot);
            return nullptr;
        }
        BYTE* end = slot.start + pages * kPage;
        BYTE* block = reinterpret_cast<BYTE*>(reinterpret_cast<uintptr_t>(end - size) & ~(alignment - 1));
        auto* header = reinterpret_cast<Header*>(slot.start);
        *header =
            Header{kLive, static_cast<DWORD>(size), static_cast<DWORD>(pages), slot.pages, kind, 0, flags, 0, block};
        if (kind == KindGlobalMovable) {
            // Handle numbers go round the whole range before one is used again.
            header->handle = m_nextHandle;
            m_blocks[m_nextHandle] = block;
            m_nextHandle = m_nextHandle + 1 < kHandles ? m_nextHandle + 1 : 1;
        }
        BYTE* start = slot.start;
        std::memcpy(block - sizeof(BYTE*), &start, sizeof(BYTE*));
        // Fresh pages are zero; a block the caller did not ask zeroed gets a pattern instead, so
        // reading it before writing shows.
        if (!(flags & GMEM_ZEROINIT))
            std::memset(block, 0xA5, size);
        CountAllocated(size);
        InterlockedIncrement(&m_liveSlots);
        return block;
    }

    HGLOBAL HandleOf(const Header* header) const
    {
        return header->kind == KindGlobalMovable ? reinterpret_cast<HGLOBAL>(m_handles + header->handle * 4)
                                                 : reinterpret_cast<HGLOBAL>(header->block);
    }

    // The header of a block or a handle of this arena; fails the run on anything else.
    Header* HeaderOf(const void* p)
    {
        const void* block = p;
        if (IsHandle(p)) {
            SIZE_T number = static_cast<SIZE_T>(static_cast<const BYTE*>(p) - m_handles) / 4;
            block = m_blocks[number];
            if (!block)
                Fail("handle freed or never allocated", p);
        }
        BYTE* start = nullptr;
        std::memcpy(&start, static_cast<const BYTE*>(block) - sizeof(BYTE*), sizeof(BYTE*));
        if (start < m_base || start >= m_end ||
            (reinterpret_cast<uintptr_t>(start) - reinterpret_cast<uintptr_t>(m_base)) % kPage)
            Fail("invalid block (overwritten before its start, or never allocated)", p);
        auto* header = reinterpret_cast<Header*>(start);
        if (header->magic != kLive)
            Fail(header->magic == kFreed ? "block freed twice" : "overwritten block header", p);
        if (header->block != block)
            Fail("invalid block (overwritten before its start, or never allocated)", p);
        return header;
    }

    void Release(Header* header)
    {
        Guard guard(m_lock);
        CountReleased(header->size);
        InterlockedDecrement(&m_liveSlots);
        header->magic = kFreed;
        if (header->kind == KindGlobalMovable)
            m_blocks[header->handle] = nullptr;
        Slot slot{reinterpret_cast<BYTE*>(header), header->slotPages};
        VirtualFree(slot.start, header->pages * kPage, MEM_DECOMMIT);
        if (m_quarantineCount == kQuarantineSlots)
            ReleaseOldest();
        m_quarantine[(m_quarantineFirst + m_quarantineCount++) % kQuarantineSlots] = slot;
        m_quarantinedPages += slot.pages;
        while (m_quarantinedPages > kQuarantinePages)
            ReleaseOldest();
    }

private:
    Arena()
    {
        char value[8] = {};
        if (GetEnvironmentVariableA("VYX_GUARD_ALLOCATOR", value, sizeof value) && value[0] == '0')
            return;
        m_quarantine = static_cast<Slot*>(HeapAlloc(RawList<Slot>::Heap(), 0, kQuarantineSlots * sizeof(Slot)));
        m_blocks = static_cast<BYTE**>(HeapAlloc(RawList<Slot>::Heap(), HEAP_ZERO_MEMORY, kHandles * sizeof(BYTE*)));
        m_handles = static_cast<BYTE*>(VirtualAlloc(nullptr, kHandles * 4, MEM_RESERVE, PAGE_NOACCESS));
        if (!m_quarantine || !m_blocks || !m_handles)
            return;
        for (SIZE_T size : {SIZE_T(1536) << 20, SIZE_T(1024) << 20, SIZE_T(768) << 20, SIZE_T(512) << 20}) {
            m_base = static_cast<BYTE*>(VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS));
            if (m_base) {
                m_end = m_base + size;
                m_next = m_base;
                break;
            }
        }
    }

    static SIZE_T Bucket(SIZE_T pages) { return pages < kBuckets ? pages : 0; }

    // A slot of at least pages committed pages and a guard page after them.
    bool Take(SIZE_T pages, Slot& slot)
    {
        if (pages + 1 < kBuckets && m_free[pages + 1].Pop(slot))
            return true;
        if (static_cast<SIZE_T>(m_end - m_next) >= (pages + 1) * kPage) {
            slot = Slot{m_next, static_cast<DWORD>(pages + 1)};
            m_next += (pages + 1) * kPage;
            return true;
        }
        // The arena is used up: freed slots come back sooner, and larger ones serve too.
        while (m_quarantineCount)
            ReleaseOldest();
        if (pages + 1 < kBuckets && m_free[pages + 1].Pop(slot))
            return true;
        for (SIZE_T bucket = pages + 2; bucket < kBuckets; ++bucket)
            if (m_free[bucket].Pop(slot))
                return true;
        RawList<Slot>& large = m_free[0];
        for (SIZE_T i = 0; i < large.Count(); ++i)
            if (large.At(i).pages > pages) {
                slot = large.At(i);
                large.RemoveAt(i);
                return true;
            }
        return false;
    }

    void ReleaseOldest()
    {
        Slot slot = m_quarantine[m_quarantineFirst];
        m_quarantineFirst = (m_quarantineFirst + 1) % kQuarantineSlots;
        --m_quarantineCount;
        m_quarantinedPages -= slot.pages;
        m_free[Bucket(slot.pages)].Push(slot);
    }

    SpinLock m_lock;
    volatile LONG m_liveSlots = 0;
    BYTE* m_base = nullptr;
    BYTE* m_end = nullptr;
    BYTE* m_next = nullptr;
    RawList<Slot> m_free[kBuckets]; // by slot pages; 0 holds the larger ones
    Slot* m_quarantine = nullptr;   // a ring, oldest at m_quarantineFirst
    SIZE_T m_quarantineFirst = 0;
    SIZE_T m_quarantineCount = 0;
    SIZE_T m_quarantinedPages = 0;
    BYTE* m_handles = nullptr; // reserved, never committed: handle values only
    BYTE** m_blocks = nullptr; // the block of each handle number, null once freed
    SIZE_T m_nextHandle = 1;
};

// ---- the runtime's functions, for pass-through -------------------------------------------------

template <class F> F Runtime(const char* name)
{
    return reinterpret_cast<F>(GetProcAddress(GetModuleHandleW(L"msvcrt.dll"), name));
}

void* RuntimeMalloc(size_t size)
{
    static void*(__cdecl * f)(size_t);
    if (!f)
        f = Runtime<void*(__cdecl*)(size_t)>("malloc");
    return f(size);
}

void* RuntimeRealloc(void* p, size_t size)
{
    static void*(__cdecl * f)(void*, size_t);
    if (!f)
        f = Runtime<void*(__cdecl*)(void*, size_t)>("realloc");
    return f(p, size);
}

void RuntimeFree(void* p)
{
    static void(__cdecl * f)(void*);
    if (!f)
        f = Runtime<void(__cdecl*)(void*)>("free");
    f(p);
}

void* Allocate(size_t size, size_t alignment = 0)
{
    Arena& arena = Arena::Get();
    return arena.Enabled() && !arena.Crowded() ? arena.Allocate(size, alignment, KindMemory, 0)
                                               : RuntimeMalloc(size ? size : 1);
}

void Free(void* p)
{
    if (!p)
        return;
    Arena& arena = Arena::Get();
    if (arena.Owns(p))
        arena.Release(arena.HeaderOf(p));
    else
        RuntimeFree(p); // the runtime's own, from before the arena or from inside the runtime
}

void* Reallocate(void* p, size_t size)
{
    Arena& arena = Arena::Get();
    if (!p)
        return Allocate(size);
    if (!arena.Owns(p))
        return RuntimeRealloc(p, size);
    Header* header = arena.HeaderOf(p);
    if (!size) {
        arena.Release(header);
        return nullptr;
    }
    // Always moves: a pointer kept across a reallocation faults.
    void* moved = Allocate(size);
    if (!moved)
        return nullptr;
    std::memcpy(moved, p, header->size < size ? header->size : size);
    arena.Release(header);
    return moved;
}

// ---- GlobalAlloc -------------------------------------------------------------------------------

decltype(&GlobalAlloc) s_globalAlloc;
decltype(&GlobalReAlloc) s_globalReAlloc;
decltype(&GlobalFree) s_globalFree;
decltype(&GlobalLock) s_globalLock;
decltype(&GlobalUnlock) s_globalUnlock;
decltype(&GlobalSize) s_globalSize;
decltype(&GlobalHandle) s_globalHandle;
decltype(&GlobalFlags) s_globalFlags;

HGLOBAL WINAPI GuardGlobalAlloc(UINT flags, SIZE_T bytes)
{
    if (Arena::Get().Crowded())
        return s_globalAlloc(flags, bytes);
    void* block = Arena::Get().Allocate(bytes, 0, (flags & GMEM_MOVEABLE) ? KindGlobalMovable : KindGlobalFixed, flags);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return Arena::Get().HandleOf(Arena::Get().HeaderOf(block));
}

HGLOBAL WINAPI GuardGlobalFree(HGLOBAL handle)
{
    Arena& arena = Arena::Get();
    if (!arena.Owns(handle))
        return s_globalFree(handle);
    arena.Release(arena.HeaderOf(handle));
    return nullptr;
}

LPVOID WINAPI GuardGlobalLock(HGLOBAL handle)
{
    Arena& arena = Arena::Get();
    if (!arena.Owns(handle))
        return s_globalLock(handle);
    Header* header = arena.HeaderOf(handle);
    ++header->locks;
    return header->block;
}

BOOL WINAPI GuardGlobalUnlock(HGLOBAL handle)
{
    Arena& arena = Arena::Get();
    if (!arena.Owns(handle))
        return s_globalUnlock(handle);
    Header* header = arena.HeaderOf(handle);
    if (header->locks)
        --header->locks;
    SetLastError(NO_ERROR);
    return header->locks != 0;
}

SIZE_T WINAPI GuardGlobalSize(HGLOBAL handle)
{
    Arena& arena = Arena::Get();
    return arena.Owns(handle) ? arena.HeaderOf(handle)->size : s_globalSize(handle);
}

HGLOBAL WINAPI GuardGlobalHandle(LPCVOID block)
{
    Arena& arena = Arena::Get();
    return arena.Owns(block) ? arena.HandleOf(arena.HeaderOf(block)) : s_globalHandle(block);
}

UINT WINAPI GuardGlobalFlags(HGLOBAL handle)
{
    Arena& arena = Arena::Get();
    return arena.Owns(handle) ? arena.HeaderOf(handle)->locks : s_globalFlags(handle);
}

HGLOBAL WINAPI GuardGlobalReAlloc(HGLOBAL handle, SIZE_T bytes, UINT flags)
{
    Arena& arena = Arena::Get();
    if (!arena.Owns(handle))
        return s_globalReAlloc(handle, bytes, flags);
    Header* header = arena.HeaderOf(handle);
    if (flags & GMEM_MODIFY)
        return handle;
    UINT keep = header->kind == KindGlobalMovable ? GMEM_MOVEABLE : GMEM_FIXED;
    HGLOBAL moved = GuardGlobalAlloc(keep | (flags & GMEM_ZEROINIT), bytes);
    if (!moved)
        return nullptr;
    const SIZE_T kept = header->size < bytes ? header->size : bytes;
    if (arena.Owns(moved)) {
        std::memcpy(arena.HeaderOf(moved)->block, header->block, kept);
    } else { // a crowded arena's block comes from the system
        std::memcpy(s_globalLock(moved), header->block, kept);
        s_globalUnlock(moved);
    }
    arena.Release(header);
    return moved;
}

// Points a module's imports of one function at a replacement; the original (from the named
// system DLL) goes to *original when it is still unknown.
template <class F> void Redirect(HMODULE module, const char* dll, const char* function, F replacement, F* original)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!*original)
        *original = reinterpret_cast<F>(GetProcAddress(GetModuleHandleA(dll), function));
    auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; imports.VirtualAddress && descriptor->Name; ++descriptor) {
        DWORD names = descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + names);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0)
                continue;
            DWORD protection = 0;
            VirtualProtect(&slot->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
            slot->u1.Function = reinterpret_cast<uintptr_t>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof(void*), protection, &protection);
        }
    }
}

template <class F> void Redirect(const char* function, F replacement, F* original)
{
    Redirect(GetModuleHandleW(nullptr), "kernel32.dll", function, replacement, original);
}

void RedirectGlobalFamily(HMODULE module)
{
    Redirect(module, "kernel32.dll", "GlobalAlloc", &GuardGlobalAlloc, &s_globalAlloc);
    Redirect(module, "kernel32.dll", "GlobalReAlloc", &GuardGlobalReAlloc, &s_globalReAlloc);
    Redirect(module, "kernel32.dll", "GlobalFree", &GuardGlobalFree, &s_globalFree);
    Redirect(module, "kernel32.dll", "GlobalLock", &GuardGlobalLock, &s_globalLock);
    Redirect(module, "kernel32.dll", "GlobalUnlock", &GuardGlobalUnlock, &s_globalUnlock);
    Redirect(module, "kernel32.dll", "GlobalSize", &GuardGlobalSize, &s_globalSize);
    Redirect(module, "kernel32.dll", "GlobalHandle", &GuardGlobalHandle, &s_globalHandle);
    Redirect(module, "kernel32.dll", "GlobalFlags", &GuardGlobalFlags, &s_globalFlags);
}

// The LocalAlloc family takes the same flags and blocks as the GlobalAlloc family; foreign blocks
// pass on to the system's own functions.
decltype(&LocalAlloc) s_localAlloc;
decltype(&LocalReAlloc) s_localReAlloc;
decltype(&LocalFree) s_localFree;
decltype(&LocalLock) s_localLock;
decltype(&LocalUnlock) s_localUnlock;
decltype(&LocalSize) s_localSize;
decltype(&LocalHandle) s_localHandle;
decltype(&LocalFlags) s_localFlags;

HLOCAL WINAPI GuardLocalAlloc(UINT flags, SIZE_T bytes)
{
    return GuardGlobalAlloc(flags, bytes);
}

HLOCAL WINAPI GuardLocalReAlloc(HLOCAL handle, SIZE_T bytes, UINT flags)
{
    return Arena::Get().Owns(handle) ? GuardGlobalReAlloc(handle, bytes, flags) : s_localReAlloc(handle, bytes, flags);
}

HLOCAL WINAPI GuardLocalFree(HLOCAL handle)
{
    return Arena::Get().Owns(handle) ? GuardGlobalFree(handle) : s_localFree(handle);
}

LPVOID WINAPI GuardLocalLock(HLOCAL handle)
{
    return Arena::Get().Owns(handle) ? GuardGlobalLock(handle) : s_localLock(handle);
}

BOOL WINAPI GuardLocalUnlock(HLOCAL handle)
{
    return Arena::Get().Owns(handle) ? GuardGlobalUnlock(handle) : s_localUnlock(handle);
}

SIZE_T WINAPI GuardLocalSize(HLOCAL handle)
{
    return Arena::Get().Owns(handle) ? GuardGlobalSize(handle) : s_localSize(handle);
}

HLOCAL WINAPI GuardLocalHandle(LPCVOID block)
{
    return Arena::Get().Owns(block) ? GuardGlobalHandle(block) : s_localHandle(block);
}

UINT WINAPI GuardLocalFlags(HLOCAL handle)
{
    return Arena::Get().Owns(handle) ? GuardGlobalFlags(handle) : s_localFlags(handle);
}

void RedirectLocalFamily(HMODULE module)
{
    Redirect(module, "kernel32.dll", "LocalAlloc", &GuardLocalAlloc, &s_localAlloc);
    Redirect(module, "kernel32.dll", "LocalReAlloc", &GuardLocalReAlloc, &s_localReAlloc);
    Redirect(module, "kernel32.dll", "LocalFree", &GuardLocalFree, &s_localFree);
    Redirect(module, "kernel32.dll", "LocalLock", &GuardLocalLock, &s_localLock);
    Redirect(module, "kernel32.dll", "LocalUnlock", &GuardLocalUnlock, &s_localUnlock);
    Redirect(module, "kernel32.dll", "LocalSize", &GuardLocalSize, &s_localSize);
    Redirect(module, "kernel32.dll", "LocalHandle", &GuardLocalHandle, &s_localHandle);
    Redirect(module, "kernel32.dll", "LocalFlags", &GuardLocalFlags, &s_localFlags);
}

// ---- plug-in modules ----------------------------------------------------------------------------

void AdoptModule(HMODULE module);

decltype(&LoadLibraryW) s_loadLibraryW;
decltype(&LoadLibraryExW) s_loadLibraryExW;
decltype(&LoadLibraryA) s_loadLibraryA;
decltype(&LoadLibraryExA) s_loadLibraryExA;

// Plug-ins are the DLLs named "*.spi".
HMODULE AdoptIfPlugin(HMODULE module)
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = module ? GetModuleFileNameW(module, path, MAX_PATH) : 0;
    if (length > 4 && lstrcmpiW(path + length - 4, L".spi") == 0)
        AdoptModule(module);
    return module;
}

HMODULE WINAPI GuardLoadLibraryW(LPCWSTR name)
{
    return AdoptIfPlugin(s_loadLibraryW(name));
}

HMODULE WINAPI GuardLoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags)
{
    HMODULE module = s_loadLibraryExW(name, file, flags);
    return flags & (LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE) ? module : AdoptIfPlugin(module);
}

HMODULE WINAPI GuardLoadLibraryA(LPCSTR name)
{
    return AdoptIfPlugin(s_loadLibraryA(name));
}

HMODULE WINAPI GuardLoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags)
{
    HMODULE module = s_loadLibraryExA(name, file, flags);
    return flags & (LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE) ? module : AdoptIfPlugin(module);
}

void* __cdecl GuardMalloc(size_t size);
void* __cdecl GuardCalloc(size_t count, size_t size);
void* __cdecl GuardRealloc(void* p, size_t size);
void __cdecl GuardFree(void* p);

decltype(&GuardMalloc) s_runtimeMalloc;
decltype(&GuardCalloc) s_runtimeCalloc;
decltype(&GuardRealloc) s_runtimeRealloc;
decltype(&GuardFree) s_runtimeFree;

// A plug-in's blocks come from the arena from now on: its imports of the runtime's and the
// system's allocation functions are pointed here, and the program's LocalAlloc family too (a
// plug-in hands its pictures over in such blocks). Blocks it had before pass on as foreign ones.
void AdoptModule(HMODULE module)
{
    static bool programAdopted = false;
    if (!programAdopted) {
        programAdopted = true;
        RedirectLocalFamily(GetModuleHandleW(nullptr));
    }
    RedirectGlobalFamily(module);
    RedirectLocalFamily(module);
    Redirect(module, "msvcrt.dll", "malloc", &GuardMalloc, &s_runtimeMalloc);
    Redirect(module, "msvcrt.dll", "calloc", &GuardCalloc, &s_runtimeCalloc);
    Redirect(module, "msvcrt.dll", "realloc", &GuardRealloc, &s_runtimeRealloc);
    Redirect(module, "msvcrt.dll", "free", &GuardFree, &s_runtimeFree);
}

struct GlobalRedirection
{
    GlobalRedirection()
    {
        if (!Arena::Get().Enabled())
            return;
        HMODULE program = GetModuleHandleW(nullptr);
        RedirectGlobalFamily(program);
        Redirect(program, "kernel32.dll", "LoadLibraryW", &GuardLoadLibraryW, &s_loadLibraryW);
        Redirect(program, "kernel32.dll", "LoadLibraryExW", &GuardLoadLibraryExW, &s_loadLibraryExW);
        Redirect(program, "kernel32.dll", "LoadLibraryA", &GuardLoadLibraryA, &s_loadLibraryA);
        Redirect(program, "kernel32.dll", "LoadLibraryExA", &GuardLoadLibraryExA, &s_loadLibraryExA);
    }
} s_globalRedirection __attribute__((init_priority(101)));

} // namespace

// ---- the meter --------------------------------------------------------------------------------------

bool GuardMeterOn()
{
    return Arena::Get().Enabled();
}

void GuardMeterRestart()
{
    InterlockedExchange(&s_peakBytes, s_liveBytes);
    s_largestRequest = 0;
}

size_t GuardMeterLargestRequest()
{
    return s_largestRequest;
}

size_t GuardMeterLive()
{
    return static_cast<size_t>(s_liveBytes);
}

size_t GuardMeterPeak()
{
    return static_cast<size_t>(s_peakBytes);
}

// ---- the runtime's allocation functions and the global operators --------------------------------

extern "C" void* malloc(size_t size)
{
    return Allocate(size);
}

extern "C" void* calloc(size_t count, size_t size)
{
    if (size && count > static_cast<size_t>(-1) / size) {
        CountRequest(static_cast<size_t>(-1));
        return nullptr;
    }
    void* p = Allocate(count * size);
    if (p)
        std::memset(p, 0, count * size);
    return p;
}

extern "C" void* realloc(void* p, size_t size)
{
    return Reallocate(p, size);
}

extern "C" void free(void* p)
{
    Free(p);
}

namespace {

void* __cdecl GuardMalloc(size_t size)
{
    return malloc(size);
}

void* __cdecl GuardCalloc(size_t count, size_t size)
{
    return calloc(count, size);
}

void* __cdecl GuardRealloc(void* p, size_t size)
{
    return realloc(p, size);
}

void __cdecl GuardFree(void* p)
{
    free(p);
}

} // namespace

void* operator new(size_t size)
{
    if (void* p = Allocate(size))
        return p;
    throw std::bad_alloc();
}

void* operator new[](size_t size)
{
    return operator new(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void* operator new(size_t size, std::align_val_t alignment)
{
    if (void* p = Allocate(size, static_cast<size_t>(alignment)))
        return p;
    throw std::bad_alloc();
}

void* operator new[](size_t size, std::align_val_t alignment)
{
    return operator new(size, alignment);
}

void operator delete(void* p) noexcept
{
    Free(p);
}

void operator delete[](void* p) noexcept
{
    Free(p);
}

void operator delete(void* p, size_t) noexcept
{
    Free(p);
}

void operator delete[](void* p, size_t) noexcept
{
    Free(p);
}

void operator delete(void* p, std::align_val_t) noexcept
{
    Free(p);
}

void operator delete[](void* p, std::align_val_t) noexcept
{
    Free(p);
}

void operator delete(void* p, size_t, std::align_val_t) noexcept
{
    Free(p);
}

void operator delete[](void* p, size_t, std::align_val_t) noexcept
{
    Free(p);
}
