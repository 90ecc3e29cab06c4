// A unique folder under the temporary folder for one test, removed with everything in it after (the
// same in the framework's strings: FrameworkScratchFolder.h).
#pragma once

#include "ScratchTree.h"

#include <windows.h>

#include <set>
#include <string>

class ScratchFolder
{
public:
    explicit ScratchFolder(const wchar_t* tag = L"vyx")
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int serial = 0;
        for (;;) {
            m_path = std::wstring(temp) + tag + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                     std::to_wstring(GetTickCount()) + L"_" + std::to_wstring(++serial);
            if (CreateDirectoryW(m_path.c_str(), nullptr))
                break;
        }
    }
    ~ScratchFolder() { RemoveTree(m_path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }
    std::wstring File(const std::wstring& name) const { return *this / name; }

    static bool WriteFile(const std::wstring& path, const std::string& bytes)
    {
        HANDLE file =
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return written == bytes.size();
    }

    static std::string ReadFile(const std::wstring& path)
    {
        std::string bytes;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return bytes;
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
            bytes.append(buffer, read);
        CloseHandle(file);
        return bytes;
    }

    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    // The name the folder lists for the entry, found without regard to case; empty when none.
    static std::wstring NameOnDisk(const std::wstring& path)
    {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(path.c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return L"";
        FindClose(find);
        return data.cFileName;
    }

    // The names of the entries directly in the folder.
    std::set<std::wstring> Names() const
    {
        std::set<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((m_path + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0)
                names.insert(data.cFileName);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return names;
    }

private:
    std::wstring m_path;
};
