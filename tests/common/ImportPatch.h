// Points one imported function of the test program at a replacement while the object lives: the
// project's code is linked into the program, so its calls to the system go through the program's
// import table. Used to count or fail system calls a test cannot provoke otherwise.
#pragma once

#include <windows.h>

#include <cstring>

class ImportPatch
{
public:
    ImportPatch(const char* module, const char* function, const void* replacement)
    {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
        for (; imports.VirtualAddress && descriptor->Name; ++descriptor) {
            if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), module) != 0)
                continue;
            DWORD names = descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
            auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + names);
            auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
            for (; name->u1.AddressOfData; ++name, ++slot) {
                if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                    continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0)
                    continue;
                m_slot = reinterpret_cast<void**>(&slot->u1.Function);
                m_original = Swap(const_cast<void*>(replacement));
                return;
            }
        }
    }
    ~ImportPatch()
    {
        if (m_slot)
            Swap(m_original);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // False when the program does not import the function (nothing was patched).
    explicit operator bool() const { return m_slot != nullptr; }
    void* Original() const { return m_original; }

private:
    void* Swap(void* value)
    {
        DWORD protection = 0;
        VirtualProtect(m_slot, sizeof(void*), PAGE_READWRITE, &protection);
        void* previous = *m_slot;
        *m_slot = value;
        VirtualProtect(m_slot, sizeof(void*), protection, &protection);
        return previous;
    }

    void** m_slot = nullptr;
    void* m_original = nullptr;
};
