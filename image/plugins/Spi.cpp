#include "image/plugins/Spi.h"

#include "foundation/CurrentDirectoryScope.h"
#include "foundation/SteppedJob.h"
#include "foundation/VyxCode.h"
#include "foundation/VyxFieldParser.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxLog.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxString.h"
#include "foundation/VyxStringArray.h"
#include "foundation/VyxSystem.h"
#include "foundation/VyxUtility.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

SPImapIndex theSPImapIndex;

namespace {

const wchar_t kSection[] = L"SPI";
const wchar_t kKindImage[] = L"00IN";
const wchar_t kKindArchive[] = L"00AM";
const wchar_t kMakerMark[] = L"VYX.KR.";

// Goes on, except inside a stepped job: there the decode gives way when its time is spent, and
// stops when the job is given up.
int WINAPI KeepGoing(int, int, LONG_PTR)
{
    return SteppedJob::GiveWay() ? 1 : 0;
}

void SendStatus(HWND status, WPARAM code, const CString& text)
{
    if (status)
        SendMessageW(status, WM_USER, code, reinterpret_cast<LPARAM>(text.GetString()));
}

void AddPatterns(VyxStringArray& list, const CString& patterns)
{
    int start = 0;
    while (start <= patterns.GetLength()) {
        int end = patterns.Find(L';', start);
        if (end < 0)
            end = patterns.GetLength();
        if (end > start)
            list.Add(VyxString(patterns.GetString() + start, end - start));
        start = end + 1;
    }
}

bool WriteWholeFile(const wchar_t* path, const BYTE* data, SIZE_T count)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool written = true;
    while (written && count > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<SIZE_T>(count, 1u << 24));
        DWORD done = 0;
        written = WriteFile(file, data, chunk, &done, nullptr) && done == chunk;
        data += done;
        count -= done;
    }
    written = CloseHandle(file) && written;
    if (!written)
        DeleteFileW(path);
    return written;
}

void SetAllFileTimes(const wchar_t* path, ULONGLONG fileTime)
{
    HANDLE file = CreateFileW(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(fileTime);
    time.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    SetFileTime(file, &time, &time, &time);
    CloseHandle(file);
}

void LoadPluginModule(VyxSPI* plugin)
{
    HMODULE module = LoadLibraryW(plugin->GetPath());
    if (!module)
        return;
    plugin->Attach(module);
    plugin->LoadInfo();
}

} // namespace

std::unique_ptr<wchar_t[]> SplitListToMultiString(const wchar_t* list)
{
    size_t length = list ? std::wcslen(list) : 0;
    std::unique_ptr<wchar_t[]> multi(new wchar_t[length + 2]());
    for (size_t i = 0; i < length; ++i)
        multi[i] = list[i] == L';' ? L'\0' : list[i];
    return multi;
}

SPImapIndex::SPImapIndex() : m_defaultProgress(KeepGoing)
{
    SetAt(L"AVI", 0x300);
    SetAt(L"BMP", 0x100);
    SetAt(L"DirectShow", 0x301);
    SetAt(L"GIF", 0x102);
    SetAt(L"All Image", 0x200);
    SetAt(L"JPEG", 0x101);
    SetAt(L"TIFF", 0x103);
    SetAt(L"PNG", 0x104);
    SetAt(L"Text", 0x400);
    SetAt(L"ZIP", 0x800);
}

SPImapIndex::~SPImapIndex()
{
    WriteSettings();
    DeleteAll();
}

int SPImapIndex::CompareKeys(const wchar_t* key, const CString& entryKey) const
{
    return VyxString::CompareTexts(key, entryKey);
}

int SPImapIndex::GetGroupCode(const wchar_t* name) const
{
    int index = Find(name);
    return index < 0 ? -1 : GetAtIndex(index).value;
}

void SPImapIndex::DeleteAll()
{
    // A decode waiting inside a plug-in must end before its DLL can go.
    SteppedJob::Abort();
    m_archivePlugins.DeleteAll();
    m_imagePlugins.DeleteAll();
}

void SPImapIndex::ReadSettings()
{
    m_pluginExtensionCheck = GetAppIniInt(kSection, L"#PluginEXT", m_pluginExtensionCheck);
    m_dynamicLoading = GetAppIniInt(kSection, L"DynamicSPI", m_dynamicLoading);
    m_moviePreviewPosition = GetAppIniInt(kSection, L"MoviePreviewPosition", m_moviePreviewPosition);
}

void SPImapIndex::WriteSettings() const
{
    WriteAppIniInt(kSection, L"#PluginEXT", m_pluginExtensionCheck);
    WriteAppIniInt(kSection, L"DynamicSPI", m_dynamicLoading);
    WriteAppIniInt(kSection, L"MoviePreviewPosition", m_moviePreviewPosition);
}

CString SPImapIndex::SetSection(const wchar_t* setName)
{
    CString section;
    section.Format(L"SPISET\\%s", setName && *setName ? setName : L"_Default");
    return section;
}

// A stored "flags,order" value as it stands; a plug-in without one is new, and enabled.
void SPImapIndex::ReadPluginEntry(VyxSPI* plugin, const CString& section, int kind) const
{
    CString value;
    GetAppIniString(value, section, plugin->GetFileName(), L"");
    if (value.IsEmpty()) {
        plugin->SetFlags(kind == KindArchive ? VyxSPI::FlagEnabled | VyxSPI::FlagAllImagePlugins : VyxSPI::FlagEnabled);
        plugin->SetOrder(100);
        return;
    }
    int flags = 0, order = 0;
    GetFieldInt(&flags, value, 0, L',');
    GetFieldInt(&order, value, 1, L',');
    plugin->SetFlags(flags);
    plugin->SetOrder(order);
}

void SPImapIndex::ScanPlugins(const wchar_t* pattern, HWND status, const wchar_t* setName)
{
    ReadSettings();
    DeleteAll();
    GetAsyncKeyState(VK_SHIFT);
    if (GetAsyncKeyState(VK_SHIFT) & 0x8000)
        return;

    CString fullPattern;
    if (pattern)
        GetFullPath(fullPattern, pattern);
    else
        MakeModulePath(fullPattern, L"*.SPI");
    CString folder;
    GetPathPart(folder, fullPattern, PartFolder);
    CString section = SetSection(setName);

    // Given back however the scan ends.
    CurrentDirectoryScope directory(folder);
    // Taken in name order: the file system's own order differs between systems, and the ids
    // (indexes at this point) must not.
    std::vector<CString> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(fullPattern, &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(found.cFileName);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) {
        int order = _wcsicmp(a, b);
        return order != 0 ? order < 0 : std::wcscmp(a, b) < 0;
    });
    for (const CString& name : names)
        AddScannedPlugin(folder, name, status, section);

    m_imagePlugins.Sort();
    m_archivePlugins.Sort();
}

void SPImapIndex::AddScannedPlugin(const CString& folder, const CString& fileName, HWND status, const CString& section)
{
    CString path;
    MakePath(path, nullptr, folder, fileName, nullptr);
    CString baseName;
    GetPathPart(baseName, fileName, PartName);
    CString text;
    HMODULE module = LoadLibraryW(path);
    if (!module) {
        text.Format(L"[%s]:%s", baseName.GetString(), GetLastErrorText().GetString());
        SendStatus(status, static_cast<WPARAM>(-1), text);
        return;
    }
    text.Format(L"[%s]を調査しています", baseName.GetString());
    SendStatus(status, 0, text);

    VyxSPI* plugin = new (std::nothrow) VyxSPI(module);
    if (!plugin) {
        FreeLibrary(module);
        text.Format(L"[%s]メモリ不足", fileName.GetString());
        SendStatus(status, static_cast<WPARAM>(-1), text);
        return;
    }
    plugin->SetPath(path);
    plugin->LoadInfo();
    CString kindText = plugin->GetInfoString(0);
    int kind = kindText == kKindImage ? KindImage : kindText == kKindArchive ? KindArchive : -1;
    if (kind < 0) {
        delete plugin;
        text.Format(L"[%s]未定義のSPI(00IN,00AM以外のSPI)", fileName.GetString());
        SendStatus(status, static_cast<WPARAM>(-1), text);
        return;
    }
    VyxSPIArray& list = Plugins(kind);
    int index = static_cast<int>(list.GetSize());
    plugin->SetId(index);
    ReadPluginEntry(plugin, section, kind);
    if (plugin->GetInfoString(1).Find(kMakerMark) >= 0) {
        int code = GetGroupCode(plugin->GetInfoString(3));
        if (code >= 0) {
            plugin->SetGroup(code);
            plugin->SetId(index + (code << 16));
        }
    }
    list.Add(plugin);
    if (m_dynamicLoading && !plugin->IsEnabled())
        plugin->Unload();
}

void SPImapIndex::LoadPluginSet(const wchar_t* setName)
{
    CString section = SetSection(setName);
    for (INT_PTR i = 0; i < m_imagePlugins.GetSize(); ++i)
        ReadPluginEntry(m_imagePlugins.GetAt(i), section, KindImage);
    for (INT_PTR i = 0; i < m_archivePlugins.GetSize(); ++i) {
        VyxSPI* archive = m_archivePlugins.GetAt(i);
        ReadPluginEntry(archive, section, KindArchive);
        // The set's list replaces whatever list the archive plug-in had before.
        archive->GetChildren().RemoveAll();
        CString childSection;
        childSection.Format(L"%s\\%s", section.GetString(), archive->GetFileName().GetString());
        CString names;
        GetAppIniString(names, childSection, L"ViewSPI", L"");
        for (int field = 0;; ++field) {
            CString name;
            if (GetFieldString(&name, names, field, L',') < 0)
                break;
            name.Trim();
            VyxSPI* image = m_imagePlugins.FindByName(name);
            if (!image)
                continue;
            archive->SetFlags(archive->GetFlags() & ~VyxSPI::FlagAllImagePlugins);
            archive->GetChildren().Add(image);
        }
    }
}

void SPImapIndex::SavePluginSet(const wchar_t* setName)
{
    CString section = SetSection(setName);
    CString value;
    for (int kind : {KindImage, KindArchive}) {
        const VyxSPIArray& list = Plugins(kind);
        for (INT_PTR i = 0; i < list.GetSize(); ++i) {
            VyxSPI* plugin = list.GetAt(i);
            value.Format(L"%d,%d", plugin->GetFlags(), plugin->GetOrder());
            WriteAppIniString(section, plugin->GetFileName(), value);
        }
    }
    for (INT_PTR i = 0; i < m_archivePlugins.GetSize(); ++i) {
        VyxSPI* archive = m_archivePlugins.GetAt(i);
        CString names;
        const VyxSPIChildArray& children = archive->GetChildren();
        for (INT_PTR c = 0; c < children.GetSize(); ++c) {
            if (c > 0)
                names += L',';
            names += children.GetAt(c)->GetFileName();
        }
        CString childSection;
        childSection.Format(L"%s\\%s", section.GetString(), archive->GetFileName().GetString());
        WriteAppIniString(childSection, L"ViewSPI", names);
    }
}

void SPImapIndex::DeletePluginSet(const wchar_t* setName)
{
    if (!setName || !*setName)
        return;
    const CString section = SetSection(setName);
    const CString prefix = section + L"\\";
    std::vector<wchar_t> names;
    theAppIni.GetWholeSectionNames(names);
    for (const wchar_t* name = names.data(); *name; name += wcslen(name) + 1) {
        if (_wcsnicmp(name, prefix, prefix.GetLength()) == 0)
            WriteAppIniString(name, nullptr, nullptr);
    }
    WriteAppIniString(section, nullptr, nullptr);
}

void SPImapIndex::LoadEnabledPlugins()
{
    SteppedJob::Abort();
    m_imagePlugins.Sort();
    m_archivePlugins.Sort();
    if (!m_dynamicLoading)
        return;
    for (INT_PTR i = 0; i < m_imagePlugins.GetSize(); ++i) {
        VyxSPI* plugin = m_imagePlugins.GetAt(i);
        if (plugin->IsEnabled()) {
            if (!plugin->GetModule())
                LoadPluginModule(plugin);
        } else {
            plugin->Unload();
        }
    }
    for (INT_PTR i = 0; i < m_archivePlugins.GetSize(); ++i) {
        VyxSPI* archive = m_archivePlugins.GetAt(i);
        VyxSPIChildArray& children = archive->GetChildren();
        if (archive->IsEnabled()) {
            if (!archive->GetModule())
                LoadPluginModule(archive);
            for (INT_PTR c = 0; c < children.GetSize(); ++c) {
                if (!children.GetAt(c)->GetModule())
                    LoadPluginModule(children.GetAt(c));
            }
        } else {
            archive->Unload();
            for (INT_PTR c = 0; c < children.GetSize(); ++c) {
                if (!children.GetAt(c)->IsEnabled())
                    children.GetAt(c)->Unload();
            }
        }
    }
}

int SPImapIndex::AddArchiveChild(int archiveId, int imageId)
{
    VyxSPI* archive = m_archivePlugins.FindById(archiveId);
    VyxSPI* image = m_imagePlugins.FindById(imageId);
    if (!archive || !image)
        return 0;
    archive->SetFlags(archive->GetFlags() & ~VyxSPI::FlagAllImagePlugins);
    return archive->GetChildren().Add(image);
}

int SPImapIndex::RemoveArchiveChild(int archiveId, const wchar_t* imageName)
{
    VyxSPI* archive = m_archivePlugins.FindById(archiveId);
    return archive ? archive->GetChildren().RemoveByName(imageName) : 0;
}

void SPImapIndex::ClearArchiveChildren(int archiveId)
{
    if (VyxSPI* archive = m_archivePlugins.FindById(archiveId))
        archive->GetChildren().RemoveAll();
}

int SPImapIndex::GetPluginCount(int kind) const
{
    return static_cast<int>(Plugins(kind).GetSize());
}

VyxSPI* SPImapIndex::GetPluginAt(int index, int kind) const
{
    return Plugins(kind).GetAt(index);
}

VyxSPI* SPImapIndex::GetPluginById(int id, int kind) const
{
    return Plugins(kind).FindById(id);
}

VyxSPI* SPImapIndex::FindPluginByName(const wchar_t* name, int kind) const
{
    return Plugins(kind).FindByName(name);
}

VyxSPI* SPImapIndex::GetArchiveChildAt(int archiveId, int index) const
{
    VyxSPI* archive = m_archivePlugins.FindById(archiveId);
    return archive ? archive->GetChildren().GetAt(index) : nullptr;
}

CString SPImapIndex::GetPluginFileName(int id, int kind) const
{
    VyxSPI* plugin = GetPluginById(id, kind);
    return plugin ? plugin->GetFileName() : CString();
}

int SPImapIndex::ShowConfigurationDlg(int id, HWND parent, int function, int kind)
{
    VyxSPI* plugin = GetPluginById(id, kind);
    return plugin ? plugin->ConfigurationDlg(parent, function) : SPI_NO_FUNCTION;
}

void SPImapIndex::BuildPatternList(VyxStringArray& list, CString& text, int kind) const
{
    list.RemoveAll();
    const VyxSPIArray& plugins = Plugins(kind);
    for (INT_PTR i = 0; i < plugins.GetSize(); ++i) {
        if (plugins.GetAt(i)->IsEnabled())
            AddPatterns(list, plugins.GetAt(i)->GetFilePatterns());
    }
    list.SortUnique();
    for (int i = 0; i < list.GetCount(); ++i) {
        if (!text.IsEmpty())
            text += L';';
        text += list.GetAt(i).GetText();
    }
}

CString SPImapIndex::GetPatternList(int kind) const
{
    VyxStringArray list;
    CString text;
    BuildPatternList(list, text, kind);
    return text;
}

CString SPImapIndex::GetArchiveChildPatterns(int archiveId) const
{
    CString text;
    VyxSPI* archive = m_archivePlugins.FindById(archiveId);
    if (!archive)
        return text;
    const VyxSPIChildArray& children = archive->GetChildren();
    for (INT_PTR i = 0; i < children.GetSize(); ++i) {
        const CString& patterns = children.GetAt(i)->GetFilePatterns();
        if (patterns.IsEmpty())
            continue;
        if (!text.IsEmpty())
            text += L';';
        text += patterns;
    }
    return text;
}

bool SPImapIndex::IsSupportedName(const wchar_t* fileName, int kind) const
{
    std::unique_ptr<wchar_t[]> specs = SplitListToMultiString(GetPatternList(kind));
    return MatchFileSpecs(fileName, specs.get());
}

int SPImapIndex::IsSupported(const SPISupportQuery& query)
{
    BYTE head[SPI_HEAD_BYTES] = {};
    int headLength = 0;
    if (query.head) {
        if (query.headLength > 0)
            std::memcpy(head, query.head, std::min(query.headLength, SPI_HEAD_BYTES));
        headLength = SPI_HEAD_BYTES;
    } else {
        HANDLE file = CreateFileW(query.path ? query.path : L"", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            LogWrite(LogSourceRecord(L"Spi", 683, L"SPlugIn::IsSupported"), LogLevelWarning, L"%s:%s",
                     query.path ? query.path : L"", GetLastErrorText().GetString());
        } else {
            DWORD read = 0;
            if (ReadFile(file, head, SPI_HEAD_BYTES, &read, nullptr))
                headLength = static_cast<int>(read);
            CloseHandle(file);
        }
    }
    if (headLength == 0)
        return -1;

    int kind = query.kind == KindArchive ? KindArchive : KindImage;
    const VyxSPIArray* candidates = &Plugins(kind);
    bool restricted = false;
    if (kind == KindImage) {
        VyxSPI* archive = m_archivePlugins.FindById(query.archiveId);
        if (archive && !(archive->GetFlags() & VyxSPI::FlagAllImagePlugins)) {
            candidates = &archive->GetChildren();
            restricted = true;
        }
    }
    bool checkExtension = query.checkExtension || m_pluginExtensionCheck;
    CString name;
    if (checkExtension)
        GetPathPart(name, query.path, PartFileName);
    // The name's short form costs a look-up of every folder on the way: it is made only for a
    // plug-in that may read it. The program's own plug-ins judge by the head alone and get the
    // plain form.
    char ansiPath[MAX_PATH] = "";
    char plainPath[MAX_PATH] = "";
    bool named = false, plainNamed = false;

    for (INT_PTR i = candidates->IndexOfId(query.startAfter) + 1; i < candidates->GetSize(); ++i) {
        VyxSPI* plugin = candidates->GetAt(i);
        if (!restricted && !plugin->IsEnabled())
            continue;
        if (checkExtension && !MatchFileSpecList(name, plugin->GetFilePatterns(), L';'))
            continue;
        const char* probeName = ansiPath;
        if (plugin->GetGroup() != 0 && !named) {
            if (!plainNamed && query.path)
                UnicodeToMultiByte(query.path, plainPath, MAX_PATH, 0);
            plainNamed = true;
            probeName = plainPath;
        } else if (!named) {
            MakePluginProbePath(query.path, ansiPath);
            named = true;
        }
        if (!plugin->IsSupported(probeName, head))
            continue;
        int id = plugin->GetId();
        if (query.startAfter == -1)
            Plugins(kind).MoveToFront(Plugins(kind).IndexOfId(id));
        return id;
    }
    return -1;
}

void SPImapIndex::PrepareRequest(SPIRequest* request) const
{
    if (!request->progress)
        request->progress = m_defaultProgress;
    request->callbackData = reinterpret_cast<LONG_PTR>(request);
}

int SPImapIndex::GetPicture(SPIRequest* request)
{
    VyxSPI* plugin = m_imagePlugins.FindById(request->id);
    if (!plugin)
        return SPI_NO_FUNCTION;
    PrepareRequest(request);
    request->moviePosition = m_moviePreviewPosition;
    return plugin->GetPicture(request);
}

int SPImapIndex::GetPictureInfo(SPIRequest* request, SPIPictureInfoEx* info)
{
    VyxSPI* plugin = m_imagePlugins.FindById(request->id);
    if (!plugin)
        return SPI_NO_FUNCTION;
    std::memset(info, 0, sizeof(*info));
    MarkPictureInfoEx(info);
    return plugin->GetPictureInfo(request, info);
}

int SPImapIndex::GetArchiveInfo(SPIRequest* request)
{
    VyxSPI* plugin = m_archivePlugins.FindById(request->id);
    if (!plugin)
        return SPI_NO_FUNCTION;
    return plugin->GetArchiveInfo(request);
}

int SPImapIndex::GetArchiveFileInfo(SPIRequest* request, const char* memberName, SPIFileInfo* record)
{
    VyxSPI* plugin = m_archivePlugins.FindById(request->id);
    if (!plugin)
        return SPI_NO_FUNCTION;
    request->flags |= SPI_IGNORE_CASE;
    return plugin->GetFileInfo(request, memberName, record);
}

int SPImapIndex::GetFile(SPIRequest* request)
{
    VyxSPI* plugin = m_archivePlugins.FindById(request->id);
    if (!plugin)
        return SPI_NO_FUNCTION;
    PrepareRequest(request);
    return plugin->GetFile(request);
}

int SPImapIndex::ExtractToFile(int archiveId, const wchar_t* archivePath, DWORD position, const wchar_t* destination,
                               DWORD size, ULONGLONG fileTime)
{
    SPIRequest request;
    request.id = archiveId;
    request.source = archivePath;
    request.length = static_cast<LONG_PTR>(position);
    request.flags = SPI_INPUT_FILE | SPI_OUTPUT_MEMORY;
    int result = GetFile(&request);
    if (result != SPI_OK)
        return result;
    HGLOBAL block = request.output;
    if (!block)
        return SPI_INTERNAL_ERROR;
    // The listed size, or the whole block when it is clearly larger; never more than the block
    // holds (a damaged archive can list more than it gives).
    SIZE_T blockSize = GlobalSize(block);
    ULONGLONG count = size;
    if (size == 0 || blockSize > static_cast<ULONGLONG>(size) + 4)
        count = blockSize;
    count = std::min<ULONGLONG>(count, blockSize);
    const BYTE* data = static_cast<const BYTE*>(GlobalLock(block));
    result = SPI_INTERNAL_ERROR;
    if (data || count == 0) {
        if (WriteWholeFile(destination, data, static_cast<SIZE_T>(count)))
            result = SPI_OK;
        if (data)
            GlobalUnlock(block);
    }
    GlobalFree(block);
    if (result == SPI_OK && fileTime != 0)
        SetAllFileTimes(destination, fileTime);
    return result;
}

int SPlugIn::IsSupported(const SPISupportQuery& query)
{
    return theSPImapIndex.IsSupported(query);
}
