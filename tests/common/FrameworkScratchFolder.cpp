#include "FrameworkScratchFolder.h"

#include "ScratchFolder.h"
#include "ScratchTree.h"

namespace {

const wchar_t kPrefix[] = L"fwtest_";

} // namespace

FrameworkScratchFolder::FrameworkScratchFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static LONG s_counter = 0;
    m_path.Format(L"%s%s%lu_%ld", temp, kPrefix, GetCurrentProcessId(), InterlockedIncrement(&s_counter));
    RemoveTree(m_path.GetString());
    CreateDirectoryW(m_path, nullptr);
}

FrameworkScratchFolder::~FrameworkScratchFolder()
{
    RemoveTree(m_path.GetString());
}

void FrameworkScratchFolder::RemoveLeftovers()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((CString(temp) + kPrefix + L"*").GetString(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const DWORD process = wcstoul(data.cFileName + wcslen(kPrefix), nullptr, 10);
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || process == GetCurrentProcessId())
            continue;
        if (HANDLE running = OpenProcess(SYNCHRONIZE, FALSE, process)) {
            CloseHandle(running);
            continue;
        }
        RemoveTree((CString(temp) + data.cFileName).GetString());
    } while (FindNextFileW(find, &data));
    FindClose(find);
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
