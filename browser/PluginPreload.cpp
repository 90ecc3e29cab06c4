#include "browser/PluginPreload.h"

#include "foundation/VyxPath.h"

void PluginPreload::Start(const CString& pattern)
{
    Finish();
    CString full;
    GetFullPath(full, pattern);
    m_thread = std::thread([this, full] {
        CString folder;
        GetPathPart(folder, full, PartFolder);
        WIN32_FIND_DATAW found;
        HANDLE find = ::FindFirstFileW(full, &found);
        if (find == INVALID_HANDLE_VALUE)
            return;
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            CString path;
            MakePath(path, nullptr, folder, found.cFileName, nullptr);
            if (HMODULE module = ::LoadLibraryW(path))
                m_modules.push_back(module);
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    });
}

void PluginPreload::Finish()
{
    if (m_thread.joinable())
        m_thread.join();
    for (HMODULE module : m_modules)
        ::FreeLibrary(module);
    m_modules.clear();
}
