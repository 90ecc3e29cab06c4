#include "foundation/ShellShortcut.h"

namespace {

template <class T> struct ComRelease
{
    T* p = nullptr;
    ~ComRelease()
    {
        if (p)
            p->Release();
    }
};

bool ReadShortcutTarget(LPCWSTR path, DWORD pathFlags, CString& target)
{
    ComRelease<IShellLinkW> link;
    ComRelease<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link.p))) ||
        FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Load(path, STGM_READ)))
        return false;
    // No user interface, any match, a time-out of 1 ms in the high word.
    if (link.p->Resolve(nullptr, MAKELONG(SLR_NO_UI | SLR_ANY_MATCH, 1)) != S_OK)
        return false;
    wchar_t buffer[520] = {};
    WIN32_FIND_DATAW found;
    if (link.p->GetPath(buffer, 520, &found, pathFlags) != S_OK || !buffer[0])
        return false;
    // Wine reports success for a vanished target, so the target must exist afterwards.
    if (GetFileAttributesW(buffer) == INVALID_FILE_ATTRIBUTES)
        return false;
    target = buffer;
    return true;
}

CString& Resolve(CString& out, LPCWSTR path, DWORD pathFlags)
{
    CString input = path ? path : L"";
    out = input;
    int length = input.GetLength();
    if (length < 4 || input.Right(4).CompareNoCase(L".lnk") != 0)
        return out;
    // Balanced with its own uninitialise; harmless when the thread already runs COM.
    HRESULT init = CoInitialize(nullptr);
    CString target;
    if (ReadShortcutTarget(input, pathFlags, target)) {
        if (pathFlags & SLGP_SHORTPATH) {
            // Wine hands back the long form even when asked for the short one.
            wchar_t shortPath[520];
            DWORD n = GetShortPathNameW(target, shortPath, 520);
            if (n > 0 && n < 520)
                target = shortPath;
        }
        out = target;
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return out;
}

} // namespace

CString& ResolveShortcut(CString& out, LPCWSTR path)
{
    return Resolve(out, path, SLGP_SHORTPATH);
}

CString& ResolveShortcutUnc(CString& out, LPCWSTR path)
{
    return Resolve(out, path, SLGP_UNCPRIORITY);
}

bool IsKeyDown(int virtualKey)
{
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}
