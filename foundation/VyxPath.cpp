#include "foundation/VyxPath.h"

#include "foundation/VyxFileUtil.h"

#include <shlobj.h>

#include <cwchar>
#include <cwctype>
#include <ctime>
#include <vector>

namespace {

bool IsSeparator(wchar_t ch)
{
    return ch == L'\\' || ch == L'/';
}

bool EndsWithSeparator(const CString& text)
{
    return !text.IsEmpty() && IsSeparator(text[text.GetLength() - 1]);
}

void CopyPart(const CString& part, wchar_t* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    int count = part.GetLength() < size - 1 ? part.GetLength() : size - 1;
    wmemcpy(buffer, part, count);
    buffer[count] = 0;
}

bool HasWildcard(const wchar_t* text)
{
    return wcspbrk(text, L"*?") != nullptr;
}

const int kLongPathBuffer = 520;

} // namespace

void SplitPathEx(const wchar_t* path, CString& drive, CString& dir, CString& name, CString& ext)
{
    drive.Empty();
    dir.Empty();
    name.Empty();
    ext.Empty();
    if (!path)
        return;
    const wchar_t* rest = path;
    if (path[0] == L'\\' && path[1] == L'\\') {
        // "\\server\share": the prefix up to the separator after the share.
        const wchar_t* p = path + 2;
        while (*p && *p != L'\\')
            ++p;
        if (*p == L'\\') {
            ++p;
            while (*p && *p != L'\\')
                ++p;
        }
        drive = CString(path, static_cast<int>(p - path));
        rest = p;
    } else if (path[0] && path[1] == L':') {
        drive = CString(path, 2);
        rest = path + 2;
    }
    const wchar_t* lastSeparator = nullptr;
    for (const wchar_t* p = rest; *p; ++p) {
        if (IsSeparator(*p))
            lastSeparator = p;
    }
    const wchar_t* file = rest;
    if (lastSeparator) {
        dir = CString(rest, static_cast<int>(lastSeparator + 1 - rest));
        file = lastSeparator + 1;
    }
    const wchar_t* dot = wcsrchr(file, L'.');
    if (dot) {
        name = CString(file, static_cast<int>(dot - file));
        ext = dot;
    } else {
        name = file;
    }
}

void SplitPath(const wchar_t* path, wchar_t* drive, int driveSize, wchar_t* dir, int dirSize, wchar_t* name,
               int nameSize, wchar_t* ext, int extSize)
{
    CString d, p, n, e;
    SplitPathEx(path, d, p, n, e);
    CopyPart(d, drive, driveSize);
    CopyPart(p, dir, dirSize);
    CopyPart(n, name, nameSize);
    CopyPart(e, ext, extSize);
}

CString& GetPathPart(CString& out, const wchar_t* path, int mask)
{
    CString drive, dir, name, ext;
    SplitPathEx(path, drive, dir, name, ext);
    if (mask == PartFolder)
        return RemovePathSeparator(out, drive + dir);
    CString result;
    if (mask & 1)
        result += drive;
    if (mask & 2)
        result += dir;
    if (mask & 4)
        result += name;
    if (mask & 8)
        result += ext;
    out = result;
    return out;
}

CString PathPart(const wchar_t* path, int mask)
{
    CString part;
    return GetPathPart(part, path, mask);
}

CString PathRoot(const wchar_t* path)
{
    CString root;
    if (path && path[0] == L'\\' && path[1] == L'\\') {
        GetPathPart(root, path, PartDrive);
        return root + L'\\';
    }
    return MakeDriveRoot(root, GetDriveIndex(path));
}

CString& MakePath(CString& out, const wchar_t* drive, const wchar_t* dir, const wchar_t* name, const wchar_t* ext)
{
    CString first = CString(drive ? drive : L"") + (dir ? dir : L"");
    CString second = CString(name ? name : L"") + (ext ? ext : L"");
    if (!second.IsEmpty() && !first.IsEmpty() && !EndsWithSeparator(first))
        first += L'\\';
    out = first + second;
    return out;
}

CString& MakePathB(CString& out, wchar_t* buffer, int bufferSize, const wchar_t* drive, const wchar_t* dir,
                   const wchar_t* name, const wchar_t* ext)
{
    MakePath(out, drive, dir, name, ext);
    CopyPart(out, buffer, bufferSize);
    return out;
}

CString& AppendPathSeparator(CString& out, const wchar_t* path)
{
    CString result(path ? path : L"");
    if (!EndsWithSeparator(result))
        result += L'\\';
    out = result;
    return out;
}

CString& RemovePathSeparator(CString& out, const wchar_t* path)
{
    CString result(path ? path : L"");
    if (EndsWithSeparator(result))
        result = result.Left(result.GetLength() - 1);
    out = result;
    return out;
}

namespace {

std::vector<CString> SplitComponents(const CString& path)
{
    std::vector<CString> parts;
    int start = 0;
    for (int i = 0; i <= path.GetLength(); ++i) {
        if (i == path.GetLength() || path[i] == L'\\') {
            parts.push_back(path.Mid(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool MakeFullFolder(CString& out, const wchar_t* path)
{
    wchar_t buffer[kLongPathBuffer];
    if (!path || !_wfullpath(buffer, path, kLongPathBuffer))
        return false;
    AppendPathSeparator(out, buffer);
    return true;
}

} // namespace

bool MakeRelativePath(CString& out, const wchar_t* base, const wchar_t* target)
{
    out = target ? target : L"";
    CString fullBase, fullTarget;
    if (!MakeFullFolder(fullBase, base) || !MakeFullFolder(fullTarget, target))
        return false;
    CString baseDrive, targetDrive;
    GetPathPart(baseDrive, fullBase, PartDrive);
    GetPathPart(targetDrive, fullTarget, PartDrive);
    if (baseDrive != targetDrive)
        return false;
    // Both end in "\", so each component is followed by one separator.
    std::vector<CString> baseParts = SplitComponents(fullBase.Left(fullBase.GetLength() - 1));
    std::vector<CString> targetParts = SplitComponents(fullTarget.Left(fullTarget.GetLength() - 1));
    size_t common = 0;
    while (common < baseParts.size() && common < targetParts.size() &&
           _wcsicmp(baseParts[common], targetParts[common]) == 0)
        ++common;
    CString result;
    for (size_t i = common; i < baseParts.size(); ++i)
        result += L"..\\";
    for (size_t i = common; i < targetParts.size(); ++i)
        result += targetParts[i] + L"\\";
    if (result.GetLength() >= kLongPathBuffer)
        return false; // would not fit the callers' 520-character buffers
    out = result;
    return true;
}

CString& GetFullPath(CString& out, const wchar_t* path)
{
    wchar_t buffer[MAX_PATH];
    out = path && _wfullpath(buffer, path, MAX_PATH) ? buffer : L"";
    return out;
}

CString& GetActualPathName(CString& out, const wchar_t* path)
{
    CString found;
    CString current;
    RemovePathSeparator(current, path);
    for (;;) {
        CString drive, dir, name, ext;
        SplitPathEx(current, drive, dir, name, ext);
        // A wildcard would make the lookup answer with some other entry's name.
        if (dir.IsEmpty() || HasWildcard(current))
            break;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(current, &data);
        if (find == INVALID_HANDLE_VALUE)
            break;
        FindClose(find);
        found = found.IsEmpty() ? CString(data.cFileName) : CString(data.cFileName) + L"\\" + found;
        RemovePathSeparator(current, drive + dir);
    }
    CString joined;
    MakePath(joined, nullptr, current, found, nullptr);
    return RemovePathSeparator(out, joined);
}

int GetDriveIndex(const wchar_t* path)
{
    if (!path || !path[0] || path[1] != L':')
        return -1;
    wchar_t letter = path[0];
    if (letter >= L'a' && letter <= L'z')
        return letter - L'a';
    if (letter >= L'A' && letter <= L'Z')
        return letter - L'A';
    return -1;
}

CString& MakeDriveRoot(CString& out, int driveIndex)
{
    out.Empty();
    if (driveIndex >= 0 && driveIndex < 26) {
        out += static_cast<wchar_t>(L'A' + driveIndex);
        out += L":\\";
    }
    return out;
}

bool IsValidFileName(const wchar_t* name)
{
    return name && !wcspbrk(name, L":<>\\*/?|");
}

CString& GetModuleFilePath(CString& out)
{
    wchar_t buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(AfxGetInstanceHandle(), buffer, MAX_PATH);
    out = length > 0 && length < MAX_PATH ? buffer : L"";
    return out;
}

CString& GetModuleFolder(CString& out)
{
    CString program;
    GetModuleFilePath(program);
    if (program.IsEmpty()) {
        out.Empty();
        return out;
    }
    return GetPathPart(out, program, PartFolder);
}

CString& MakeModulePath(CString& out, const wchar_t* fileName)
{
    CString folder;
    GetModuleFolder(folder);
    return MakePath(out, nullptr, folder, fileName, nullptr);
}

CString& GetTempFolder(CString& out)
{
    wchar_t buffer[kLongPathBuffer];
    DWORD length = GetTempPathW(kLongPathBuffer, buffer);
    out = length > 0 && length < kLongPathBuffer ? buffer : L"";
    return out;
}

CString& MakeTempPath(CString& out, const wchar_t* fileName)
{
    CString folder;
    GetTempFolder(folder);
    return MakePath(out, nullptr, folder, fileName, nullptr);
}

CString& GetSpecialFolderPath(CString& out, int csidl)
{
    out.Empty();
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items)
        return out;
    wchar_t buffer[MAX_PATH];
    if (SHGetPathFromIDListW(items, buffer))
        out = buffer;
    CoTaskMemFree(items);
    return out;
}

CString& GetSpecialFolderDisplayName(CString& out, int csidl, DWORD shgdnFlags)
{
    out.Empty();
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop)
        return out;
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) && items) {
        STRRET name = {};
        if (SUCCEEDED(desktop->GetDisplayNameOf(items, shgdnFlags, &name))) {
            switch (name.uType) {
            case STRRET_WSTR:
                out = name.pOleStr ? name.pOleStr : L"";
                CoTaskMemFree(name.pOleStr);
                break;
            case STRRET_OFFSET:
                out = CString(reinterpret_cast<const char*>(items) + name.uOffset);
                break;
            case STRRET_CSTR:
                out = CString(name.cStr);
                break;
            }
        }
        CoTaskMemFree(items);
    }
    desktop->Release();
    return out;
}

bool PathExists(const wchar_t* path, DWORD attributeMask)
{
    CString trimmed;
    RemovePathSeparator(trimmed, path);
    if (trimmed.IsEmpty())
        return false;
    // Whatever the platform would reach by the name counts, also an entry spelled otherwise.
    WIN32_FIND_DATAW data;
    if (LookUpExactName(trimmed, nullptr, &data) == NameLookup::Missing)
        return false;
    if (attributeMask == 0)
        return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    return (data.dwFileAttributes & attributeMask) != 0;
}

CString& MakeTempName(CString& out, const wchar_t* folder)
{
    unsigned long long counter = static_cast<unsigned long long>(_time64(nullptr));
    for (;; ++counter) {
        CString name;
        name.Format(L"$%08X", static_cast<unsigned>(counter & 0xFFFFFFFFu));
        MakePath(out, nullptr, folder, name, nullptr);
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(out, &data);
        if (find == INVALID_HANDLE_VALUE)
            return out;
        FindClose(find);
    }
}

// A folder made by this call: a name already taken (two calls in one tick) moves on to the next.
CString& MakeUniqueTempName(CString& out)
{
    out.Empty();
    CString folder;
    MakeTempPath(folder, L"Vesko");
    if (!EnsureFolderExists(folder, true))
        return out;
    DWORD tick = GetTickCount();
    for (int attempt = 0; attempt < 1000; ++attempt, ++tick) {
        CString name, path;
        name.Format(L"%08X", tick);
        MakePath(path, nullptr, folder, name, nullptr);
        if (CreateDirectoryW(path, nullptr)) {
            out = path;
            return out;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return out;
}

bool IsPlainFileName(const wchar_t* name)
{
    // The longest name the file systems keep in one path component.
    const size_t kMaxFileNameLength = 255;
    if (!name || !*name || wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0)
        return false;
    size_t length = wcslen(name);
    if (length > kMaxFileNameLength || name[length - 1] == L'.' || name[length - 1] == L' ')
        return false;
    for (const wchar_t* p = name; *p; ++p)
        if (*p < L' ')
            return false;
    return !wcspbrk(name, L"\\/:*?\"<>|");
}

namespace {

// A wildcard pattern ("*.") is no name: the platform's matching gives its dot a meaning.
bool IsTrimmedName(const wchar_t* name, size_t length)
{
    if (length == 0 || (length == 1 && name[0] == L'.') || (length == 2 && name[0] == L'.' && name[1] == L'.'))
        return false;
    if (name[length - 1] != L'.' && name[length - 1] != L' ')
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (name[i] == L'*' || name[i] == L'?')
            return false;
    }
    return true;
}

} // namespace

bool HasTrimmedName(const wchar_t* path)
{
    if (!path)
        return false;
    const wchar_t* start = path;
    for (const wchar_t* p = path;; ++p) {
        if (*p == 0 || IsSeparator(*p)) {
            if (IsTrimmedName(start, static_cast<size_t>(p - start)))
                return true;
            if (*p == 0)
                return false;
            start = p + 1;
        }
    }
}

CString ExactPath(const wchar_t* path)
{
    if (!path)
        return CString();
    if (!HasTrimmedName(path) ||
        (IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.') && IsSeparator(path[3])))
        return CString(path);
    // The root the names hang from, and the text the names start in.
    CString root, rest;
    if (iswalpha(path[0]) && path[1] == L':' && IsSeparator(path[2])) {
        root.Format(L"\\\\?\\%c:", path[0]);
        rest = path + 3;
    } else if (IsSeparator(path[0]) && IsSeparator(path[1])) {
        root = L"\\\\?\\UNC";
        rest = path + 2;
    } else if (path[0] && path[1] == L':') {
        return CString(path);
    } else {
        wchar_t current[MAX_PATH * 2] = {};
        DWORD length = GetCurrentDirectoryW(MAX_PATH * 2, current);
        if (length == 0 || length >= MAX_PATH * 2 || !iswalpha(current[0]) || current[1] != L':')
            return CString(path);
        root.Format(L"\\\\?\\%c:", current[0]);
        rest = IsSeparator(path[0]) ? CString(path + 1) : CString(current + 3) + L"\\" + path;
    }
    // A UNC path keeps its server and share whatever follows.
    const size_t kept = root.Right(3) == L"UNC" ? 2 : 0;
    std::vector<CString> names;
    int start = 0;
    for (int i = 0; i <= rest.GetLength(); ++i) {
        if (i < rest.GetLength() && !IsSeparator(rest[i]))
            continue;
        CString name = rest.Mid(start, i - start);
        start = i + 1;
        if (name.IsEmpty() || (name == L"." && names.size() >= kept))
            continue;
        if (name == L".." && names.size() > kept) {
            names.pop_back();
            continue;
        }
        if (name != L"..")
            names.push_back(name);
    }
    CString exact = root;
    for (const CString& name : names)
        exact += L"\\" + name;
    return exact;
}

NameLookup LookUpExactName(const wchar_t* path, CString* otherName, WIN32_FIND_DATAW* entry, int* spellings)
{
    if (spellings)
        *spellings = 0;
    CString trimmed;
    RemovePathSeparator(trimmed, path ? path : L"");
    const wchar_t* full = trimmed;
    const wchar_t* name = full + trimmed.GetLength();
    while (name > full && !IsSeparator(name[-1]))
        --name;
    // A drive root has no name of its own to compare, nor an entry the search could find.
    if (!*name || (name[0] && name[1] == L':' && !name[2])) {
        WIN32_FIND_DATAW root = {};
        root.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        if (entry)
            *entry = root;
        const DWORD attributes = GetFileAttributesW(trimmed + L"\\");
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? NameLookup::Exact
                                                                                                : NameLookup::Missing;
    }
    // The platform's search for a name hands back one entry of it, or every one, in any order;
    // asked how many spellings there are, it is given a pattern that takes every one.
    CString pattern = ExactPath(trimmed);
    if (spellings)
        pattern.SetAt(pattern.GetLength() - static_cast<int>(wcslen(name)), L'?');
    WIN32_FIND_DATAW data, exact = {}, other = {};
    HANDLE find = FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return NameLookup::Missing;
    CString upper(name);
    upper.MakeUpper();
    bool foundExact = false, foundOther = false;
    do {
        CString found(data.cFileName);
        const bool asNamed = wcscmp(data.cFileName, name) == 0;
        const bool spelledOtherwise = !asNamed && found.MakeUpper() == upper;
        // Named as spelled, or by its short alias: that very entry.
        if (asNamed ||
            (!spelledOtherwise && data.cAlternateFileName[0] && _wcsicmp(data.cAlternateFileName, name) == 0)) {
            exact = data;
            foundExact = true;
            if (!spellings)
                break;
        } else if (spelledOtherwise) {
            if (!foundOther)
                other = data;
            foundOther = true;
            if (spellings)
                ++*spellings;
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    if (foundExact) {
        if (entry)
            *entry = exact;
        return NameLookup::Exact;
    }
    if (!foundOther)
        return NameLookup::Missing;
    if (otherName)
        *otherName = other.cFileName;
    if (entry)
        *entry = other;
    return NameLookup::OtherCase;
}
