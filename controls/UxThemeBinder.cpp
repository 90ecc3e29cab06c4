#include "controls/UxThemeBinder.h"

namespace {

enum Entry {
#define VYX_UXTHEME_ENUM(ret, name, params, args, fallback) Entry_##name,
    VYX_UXTHEME_ENTRIES(VYX_UXTHEME_ENUM)
#undef VYX_UXTHEME_ENUM
        Entry_SetThemeAppProperties,
    EntryCount
};

// Program-wide state: the user-interface thread is the only caller.
HMODULE s_module = nullptr;
BOOL s_attempted = FALSE;
void* s_entries[EntryCount] = {};
BOOL s_resolved[EntryCount] = {};
const wchar_t* s_libraryName = L"UxTheme.dll";

HMODULE LoadOnce()
{
    if (!s_module && !s_attempted) {
        s_attempted = TRUE;
        s_module = ::LoadLibraryW(s_libraryName);
    }
    return s_module;
}

} // namespace

void* UxThemeBinder::Resolve(int nEntry, const char* pszName)
{
    if (!s_resolved[nEntry]) {
        HMODULE module = LoadOnce();
        // An entry the loaded library lacks is never called: the wrapper answers its fallback.
        s_entries[nEntry] = module ? reinterpret_cast<void*>(::GetProcAddress(module, pszName)) : nullptr;
        s_resolved[nEntry] = TRUE;
    }
    return s_entries[nEntry];
}

#define VYX_UXTHEME_DEFINE(ret, name, params, args, fallback)                                                          \
    ret UxThemeBinder::name params                                                                                     \
    {                                                                                                                  \
        using Fn = ret(WINAPI*) params;                                                                                \
        if (Fn fn = reinterpret_cast<Fn>(Resolve(Entry_##name, #name)))                                                \
            return fn args;                                                                                            \
        return fallback;                                                                                               \
    }
VYX_UXTHEME_ENTRIES(VYX_UXTHEME_DEFINE)
#undef VYX_UXTHEME_DEFINE

void UxThemeBinder::SetThemeAppProperties(DWORD dwFlags)
{
    using Fn = void(WINAPI*)(DWORD);
    if (Fn fn = reinterpret_cast<Fn>(Resolve(Entry_SetThemeAppProperties, "SetThemeAppProperties")))
        fn(dwFlags);
}

BOOL UxThemeBinder::IsLibraryAvailable()
{
    return LoadOnce() != nullptr;
}

void UxThemeBinder::Release()
{
    if (s_module)
        ::FreeLibrary(s_module);
    s_module = nullptr;
    s_attempted = FALSE;
    for (int i = 0; i < EntryCount; ++i) {
        s_entries[i] = nullptr;
        s_resolved[i] = FALSE;
    }
}

void* UxThemeBinder::GetProcAddress(const char* pszName, void* pfnFallback)
{
    HMODULE module = LoadOnce();
    if (!module)
        return pfnFallback;
    void* address = reinterpret_cast<void*>(::GetProcAddress(module, pszName));
    return address ? address : pfnFallback;
}

void UxThemeBinder::SetLibraryName(LPCWSTR pszName)
{
    s_libraryName = pszName ? pszName : L"UxTheme.dll";
}
