#include "FrameworkTestUtil.h"

#include <cstdio>

namespace {

void RemoveTree(const CString& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(folder + L"\\*", &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            CString name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            CString path = folder + L"\\" + name;
            SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder);
}

} // namespace

ScratchFolder::ScratchFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static LONG s_counter = 0;
    m_path.Format(L"%sfwtest_%lu_%ld", temp, GetCurrentProcessId(), InterlockedIncrement(&s_counter));
    RemoveTree(m_path);
    CreateDirectoryW(m_path, nullptr);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(m_path);
}

CString ScratchFolder::WriteFile(LPCWSTR name, const std::string& bytes) const
{
    CString path = *this / name;
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

std::string ScratchFolder::ReadFile(LPCWSTR path)
{
    std::string bytes;
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}
