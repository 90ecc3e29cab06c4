#include "framework/ThreadState.h"
#include "framework/CHandleMap.h"

namespace {

// Windows thread-local storage rather than C++ thread_local: the latter goes through the
// threading runtime's keys, whose teardown deadlocked at process exit after threads had ended
// through _endthreadex. Fiber-local storage (where Windows has it) also frees the state when
// its thread ends.
typedef void(WINAPI* FlsCallback)(void*);
typedef DWORD(WINAPI* FlsAllocFn)(FlsCallback);
typedef void*(WINAPI* FlsGetValueFn)(DWORD);
typedef BOOL(WINAPI* FlsSetValueFn)(DWORD, void*);
typedef BOOL(WINAPI* FlsFreeFn)(DWORD);

void DeleteState(AFX_THREAD_STATE* state)
{
    if (!state)
        return;
    for (CHandleMapBase*& map : state->m_pHandleMaps) {
        delete map;
        map = nullptr;
    }
    delete state;
}

void WINAPI FreeStateAtThreadEnd(void* state)
{
    DeleteState(static_cast<AFX_THREAD_STATE*>(state));
}

struct StateSlot
{
    StateSlot()
    {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        auto flsAlloc = reinterpret_cast<FlsAllocFn>(GetProcAddress(kernel, "FlsAlloc"));
        getValue = reinterpret_cast<FlsGetValueFn>(GetProcAddress(kernel, "FlsGetValue"));
        setValue = reinterpret_cast<FlsSetValueFn>(GetProcAddress(kernel, "FlsSetValue"));
        freeIndex = reinterpret_cast<FlsFreeFn>(GetProcAddress(kernel, "FlsFree"));
        if (flsAlloc && getValue && setValue && freeIndex)
            index = flsAlloc(FreeStateAtThreadEnd);
        if (index == static_cast<DWORD>(-1)) {
            getValue = TlsGetValue;
            setValue = TlsSetValue;
            freeIndex = TlsFree;
            index = TlsAlloc();
        }
    }
    // A DLL linking the framework may be unloaded: its callback must not outlive it.
    ~StateSlot() { freeIndex(index); }
    DWORD index = static_cast<DWORD>(-1);
    FlsFreeFn freeIndex = nullptr;
    FlsGetValueFn getValue = nullptr;
    FlsSetValueFn setValue = nullptr;
};

StateSlot& Slot()
{
    static StateSlot s_slot;
    return s_slot;
}

} // namespace

AFX_THREAD_STATE* AFXAPI AfxGetThreadState()
{
    StateSlot& slot = Slot();
    auto* state = static_cast<AFX_THREAD_STATE*>(slot.getValue(slot.index));
    if (!state) {
        state = new AFX_THREAD_STATE;
        slot.setValue(slot.index, state);
    }
    return state;
}

void AFXAPI AfxDeleteTempMaps()
{
    for (CHandleMapBase* map : AfxGetThreadState()->m_pHandleMaps)
        if (map)
            map->DeleteTemp();
}

void AFXAPI AfxGetHandleMapCounts(size_t* pPermanent, size_t* pTemporary)
{
    size_t permanent = 0;
    size_t temporary = 0;
    for (CHandleMapBase* map : AfxGetThreadState()->m_pHandleMaps) {
        if (map) {
            permanent += map->PermanentCount();
            temporary += map->TemporaryCount();
        }
    }
    if (pPermanent)
        *pPermanent = permanent;
    if (pTemporary)
        *pTemporary = temporary;
}
