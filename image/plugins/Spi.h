// The one process-wide host of image and archive plug-ins: finds the DLLs, keeps them in two
// lists with per-set settings (enabled, order, and which image plug-ins an archive plug-in may
// use on its members), answers which plug-in reads a file and forwards picture, listing and
// extraction requests to it. The map holds the format groups by name.
#pragma once

#include "foundation/VyxMap.h"
#include "image/plugins/VyxSPI.h"

#include <memory>

class VyxStringArray;

class SPImapIndex : public VyxMapT<CString, const wchar_t*, int, int>
{
public:
    enum { KindImage = 0, KindArchive = 1 };

    SPImapIndex();
    ~SPImapIndex() override;
    SPImapIndex(const SPImapIndex&) = delete;
    SPImapIndex& operator=(const SPImapIndex&) = delete;

    int CompareKeys(const wchar_t* key, const CString& entryKey) const override;
    // The code of a format group, -1 for an unknown name.
    int GetGroupCode(const wchar_t* name) const;

    // pattern null: the program's folder and "*.SPI"; status: sent WM_USER texts while scanning.
    void ScanPlugins(const wchar_t* pattern, HWND status, const wchar_t* setName);
    void LoadPluginSet(const wchar_t* setName);
    void SavePluginSet(const wchar_t* setName);
    // Removes a named set from the settings: its section and the sub-sections of its archive
    // plug-ins. The default set (empty name) is never removed.
    static void DeletePluginSet(const wchar_t* setName);
    void LoadEnabledPlugins();
    int AddArchiveChild(int archiveId, int imageId);
    int RemoveArchiveChild(int archiveId, const wchar_t* imageName);
    void ClearArchiveChildren(int archiveId);

    // kind: 0 image, 1 archive; any other kind reads the image list.
    int GetPluginCount(int kind) const;
    VyxSPI* GetPluginAt(int index, int kind) const;
    VyxSPI* GetPluginById(int id, int kind) const;
    VyxSPI* FindPluginByName(const wchar_t* name, int kind) const;
    VyxSPI* GetArchiveChildAt(int archiveId, int index) const;
    CString GetPluginFileName(int id, int kind) const;
    int ShowConfigurationDlg(int id, HWND parent, int function, int kind);

    // The enabled plug-ins' patterns, split, sorted by code units, duplicates dropped, joined
    // with ";". BuildPatternList fills list with them and appends the joined text to text.
    CString GetPatternList(int kind) const;
    void BuildPatternList(VyxStringArray& list, CString& text, int kind) const;
    CString GetArchiveChildPatterns(int archiveId) const;
    bool IsSupportedName(const wchar_t* fileName, int kind) const;

    // The id of the plug-in that reads the file, -1 when none. A probe from the first plug-in
    // moves the winner to the front of its list; a probe after a given plug-in never reorders,
    // so a chain of failing plug-ins ends.
    int IsSupported(const SPISupportQuery& query);

    // Requests name their plug-in by id; -1 when no plug-in has it.
    int GetPicture(SPIRequest* request);
    int GetPictureInfo(SPIRequest* request, SPIPictureInfoEx* info);
    int GetArchiveInfo(SPIRequest* request);
    int GetArchiveFileInfo(SPIRequest* request, const char* memberName, SPIFileInfo* record);
    int GetFile(SPIRequest* request);
    // Writes one member to a file through memory: 0 written (with the time given as a FILETIME,
    // unless 0), the plug-in's code when it fails, SPI_INTERNAL_ERROR when the file cannot be
    // written (nothing is left behind).
    int ExtractToFile(int archiveId, const wchar_t* archivePath, DWORD position, const wchar_t* destination, DWORD size,
                      ULONGLONG fileTime);

    int GetPluginExtensionCheck() const { return m_pluginExtensionCheck; }
    void SetPluginExtensionCheck(int value) { m_pluginExtensionCheck = value; }
    int GetDynamicLoading() const { return m_dynamicLoading; }
    void SetDynamicLoading(int value) { m_dynamicLoading = value; }
    int GetMoviePreviewPosition() const { return m_moviePreviewPosition; }
    void SetMoviePreviewPosition(int value) { m_moviePreviewPosition = value; }
    SPIProgressProc GetDefaultProgress() const { return m_defaultProgress; }

    // Deletes every plug-in (archive plug-ins first: they hold image plug-ins).
    void DeleteAll();

private:
    VyxSPIArray& Plugins(int kind) { return kind == KindArchive ? m_archivePlugins : m_imagePlugins; }
    const VyxSPIArray& Plugins(int kind) const { return kind == KindArchive ? m_archivePlugins : m_imagePlugins; }
    static CString SetSection(const wchar_t* setName);
    void ReadSettings();
    void WriteSettings() const;
    void ReadPluginEntry(VyxSPI* plugin, const CString& section, int kind) const;
    void AddScannedPlugin(const CString& folder, const CString& fileName, HWND status, const CString& section);
    void PrepareRequest(SPIRequest* request) const;

    VyxSPIArray m_imagePlugins;
    VyxSPIArray m_archivePlugins;
    SPIProgressProc m_defaultProgress;
    int m_pluginExtensionCheck = 0;
    int m_dynamicLoading = 0;
    int m_moviePreviewPosition = -50;
};

extern SPImapIndex theSPImapIndex;

// The probe of the program's host (theSPImapIndex); its log lines name this class.
class SPlugIn
{
public:
    static int IsSupported(const SPISupportQuery& query);
};

// A new double-NUL list: every ";" of the list made a NUL, a second NUL at the end.
std::unique_ptr<wchar_t[]> SplitListToMultiString(const wchar_t* list);
