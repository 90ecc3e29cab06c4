// Large folders of empty files for the benchmarks, made in seconds: only the names and the last
// write times matter. Wine looks through the whole folder for every name it creates (a name may
// exist in another letter case), so 100,000 files made through the platform's calls take a quarter
// of an hour; under Wine they are made by the host's own Perl (a program every Debian system has)
// in one pass, elsewhere through the platform's calls.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

struct EmptyFile
{
    std::wstring name;
    ULONGLONG writeTime; // FILETIME ticks
};

namespace many_files_detail {

// The host's path of a folder or file, empty when not running under Wine.
inline std::string HostPath(const std::wstring& path)
{
    using UnixName = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(path.c_str()) : nullptr;
    if (!name)
        return std::string();
    std::string host(name);
    HeapFree(GetProcessHeap(), 0, name);
    return host;
}

inline std::string Utf8(const std::wstring& text)
{
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

inline std::wstring Wide(const std::string& bytes)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), static_cast<int>(bytes.size()), &text[0], n);
    return text;
}

inline bool WriteText(const std::wstring& path, const std::string& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    CloseHandle(file);
    return ok;
}

inline std::string ReadEnd(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "no answer";
    char text[512] = {};
    DWORD read = 0;
    ReadFile(file, text, sizeof(text) - 1, &read, nullptr);
    CloseHandle(file);
    return std::string(text, read);
}

// Reads "seconds<TAB>name" lines; makes each file in the folder (UTF-8 names) with that write
// time; then writes "done" (or what failed) into the last file named, as its end.
constexpr char kMaker[] = "use strict;\n"
                          "my ($folder, $list, $end) = @ARGV;\n"
                          "my $result = 'done';\n"
                          "if (open(my $in, '<', $list)) {\n"
                          "  while (my $line = <$in>) {\n"
                          "    chomp $line;\n"
                          "    my ($time, $name) = split(/\\t/, $line, 2);\n"
                          "    my $path = \"$folder/$name\";\n"
                          "    if (!open(my $out, '>', $path)) { $result = \"cannot make $path\"; last; }\n"
                          "    utime($time, $time, $path);\n"
                          "  }\n"
                          "} else { $result = 'no list'; }\n";

// Every host script ends so: what it did ("done" or what failed) goes into its end file, put in
// place whole so that a half-written end is never read.
constexpr char kHostScriptEnd[] = "open(my $out, '>', \"$end.part\") or exit 1;\n"
                                  "print $out $result;\n"
                                  "close($out);\n"
                                  "rename(\"$end.part\", $end);\n";

// Runs the Perl script on the host with the paths (in the host's form) as its arguments and the
// end file last; the script leaves "done" or what failed in $result, which its end writes into the
// end file. True when it wrote "done".
inline bool RunOnHost(const char* script, const std::vector<std::wstring>& paths, const char* what)
{
    if (GetFileAttributesW(L"Z:\\usr\\bin\\perl") == INVALID_FILE_ATTRIBUTES)
        return false;
    for (const std::wstring& path : paths)
        if (HostPath(path).empty())
            return false;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring stem = std::wstring(temp) + L"vyx_host_run_" + std::to_wstring(GetCurrentProcessId());
    const std::wstring scriptFile = stem + L".pl", end = stem + L".end";
    bool made = false;
    DeleteFileW(end.c_str());
    if (WriteText(scriptFile, std::string(script) + kHostScriptEnd)) {
        // Wine starts a host program named by its path like any other; it takes the host's paths.
        std::wstring command = L"Z:\\usr\\bin\\perl \"" + Wide(HostPath(scriptFile)) + L"\"";
        for (const std::wstring& path : paths)
            command += L" \"" + Wide(HostPath(path)) + L"\"";
        command += L" \"" + Wide(HostPath(end)) + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
            // A host program's end is not a process handle's: its last file tells (a million files
            // are made in well under ten minutes).
            for (int i = 0; i < 600 * 20 && GetFileAttributesW(end.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
                Sleep(50);
            made = ReadEnd(end) == "done";
            if (!made)
                std::fprintf(stderr, "the host did not make the %s: %s\n", what, ReadEnd(end).c_str());
        }
    }
    DeleteFileW(scriptFile.c_str());
    DeleteFileW(end.c_str());
    return made;
}

// True when the host made every file; false when it could not be asked.
inline bool MakeOnHost(const std::wstring& folder, const std::vector<EmptyFile>& files)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring list = std::wstring(temp) + L"vyx_many_files_" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    std::string lines;
    lines.reserve(files.size() * 32);
    for (const EmptyFile& file : files) {
        // Whole seconds since 1970, as the host's file times count.
        const long long seconds = static_cast<long long>((file.writeTime - 116444736000000000ull) / 10000000ull);
        lines += std::to_string(seconds) + '\t' + Utf8(file.name) + '\n';
    }
    const bool made = WriteText(list, lines) && RunOnHost(kMaker, {folder, list}, "files");
    DeleteFileW(list.c_str());
    return made;
}

} // namespace many_files_detail

// The Unix form of a path ("\\?\unix\..."), which Wine opens without searching the folder for
// another case of the name: a few more files in a folder of many; the path itself elsewhere.
inline std::wstring UnixFormPath(const std::wstring& path)
{
    const std::string host = many_files_detail::HostPath(path);
    if (host.empty())
        return path;
    std::wstring form = L"\\\\?\\unix" + many_files_detail::Wide(host);
    std::replace(form.begin(), form.end(), L'/', L'\\');
    return form;
}

// Makes the empty files in the folder (made when missing); the caller counts what is there after.
// count empty files named as a camera names them, in a shuffled order of names and times.
inline std::vector<EmptyFile> CameraNamedFiles(int count)
{
    std::vector<EmptyFile> files;
    files.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"IMG_%06d.JPG", (i * 7919) % count);
        files.push_back({name, 130000000000000000ull + static_cast<ULONGLONG>((i * 104729LL) % count) * 10000000ull});
    }
    return files;
}

// count empty files named as a camera names them, with digits digits, names and times in order.
inline std::vector<EmptyFile> CameraNamedFilesInOrder(int count, int digits = 6)
{
    std::vector<EmptyFile> files;
    files.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"IMG_%0*d.JPG", digits, i);
        files.push_back({name, 130000000000000000ull + static_cast<ULONGLONG>(i) * 10000000ull});
    }
    return files;
}

inline void MakeEmptyFiles(const std::wstring& folder, const std::vector<EmptyFile>& files)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    if (many_files_detail::MakeOnHost(folder, files))
        return;
    for (const EmptyFile& file : files) {
        HANDLE handle = CreateFileW((folder + L"\\" + file.name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            continue;
        FILETIME time = {static_cast<DWORD>(file.writeTime), static_cast<DWORD>(file.writeTime >> 32)};
        SetFileTime(handle, nullptr, nullptr, &time);
        CloseHandle(handle);
    }
}
