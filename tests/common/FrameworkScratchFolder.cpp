#include "FrameworkScratchFolder.h"

#include "ScratchFolder.h"
#include "ScratchTree.h"

FrameworkScratchFolder::FrameworkScratchFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static LONG s_counter = 0;
    m_path.Format(L"%sfwtest_%lu_%ld", temp, GetCurrentProcessId(), InterlockedIncrement(&s_counter));
    RemoveTree(m_path.GetString());
    CreateDirectoryW(m_path, nullptr);
}

FrameworkScratchFolder::~FrameworkScratchFolder()
{
    RemoveTree(m_path.GetString());
}

CString FrameworkScratchFolder::WriteFile(LPCWSTR name, const std::string& bytes) const
{
    CString path = *this / name;
    ScratchFolder::WriteFile(path.GetString(), bytes);
    return path;
}

std::string FrameworkScratchFolder::ReadFile(LPCWSTR path)
{
    return ScratchFolder::ReadFile(path);
}
