// Appends one line to the file named by VYX_PROBE_LOG: the working folder, then each argument
// between brackets; the arguments are read back from the command line as the system split it.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    wchar_t log[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"VYX_PROBE_LOG", log, MAX_PATH))
        return 2;
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    std::wstring line = folder;
    for (int i = 1; i < argc; ++i)
        line += std::wstring(L"|[") + argv[i] + L"]";
    line += L"\n";
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    // Several probes may run one after another or side by side: each appends its line whole.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = CreateFileW(log, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size() - 1), &written, nullptr);
            CloseHandle(file);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}
