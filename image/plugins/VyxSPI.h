// One plug-in DLL: its path, module, settings, information texts and entry points, with one
// forwarding member per entry point that turns the program's wide file names into the short ANSI
// names plug-ins take and joins the two picture handles into one packed DIB. Plus the plug-in
// lists: VyxSPIArray, and VyxSPIChildArray (an archive plug-in's image plug-ins, counted as uses so
// that a DLL in use stays loaded).
#pragma once

#include "framework/Framework.h"
#include "image/plugins/SpiInterface.h"

class VyxSPI;

class VyxSPIArray : public CObArray
{
public:
    VyxSPI* GetAt(INT_PTR index) const; // null out of range
    VyxSPI* FindById(int id) const;
    int IndexOfId(int id) const; // -1 when absent
    // name: the DLL's file name without folder and extension, compared without regard to case.
    int IndexOfName(const wchar_t* name) const;
    VyxSPI* FindByName(const wchar_t* name) const;
    // Stable, by ascending order key; keepOrder non-zero leaves the array as it is.
    void Sort(int keepOrder = 0);
    // Moves the plug-in at index to the front.
    void MoveToFront(INT_PTR index);
    // Deletes every plug-in and empties the array (for owning lists).
    void DeleteAll();
};

// Does not own its plug-ins; each one held counts as a use of it.
class VyxSPIChildArray : public VyxSPIArray
{
public:
    ~VyxSPIChildArray() override;
    // 0 for null or a plug-in of the same name already held; else the new count.
    int Add(VyxSPI* plugin);
    int RemoveByName(const wchar_t* name); // 1 removed, 0 absent
    int RemoveById(int id);
    void RemoveAll();
};

class VyxSPI : public CObject
{
public:
    enum { FlagEnabled = 0x10000, FlagAllImagePlugins = 0x1 };

    VyxSPI() = default;
    explicit VyxSPI(HMODULE module);
    ~VyxSPI() override;

    // Resolves the entry points of a (re)loaded DLL; null changes nothing.
    void Attach(HMODULE module);
    // Texts 0 (the kind), 1 and 3, then 2, 4, 6, ... while the plug-in gives them; the even texts
    // from 2 on are the patterns, joined with ";".
    void LoadInfo();
    // Frees the DLL when it is loaded and no archive plug-in uses it.
    void Unload();

    // The text as wide characters into buffer (size characters); the entry point's result, 0 when
    // it is missing.
    int GetPluginInfo(int index, wchar_t* buffer, int size);
    // The entry point's answer for a file and its head (SPI_HEAD_BYTES); 0 when missing. The wide
    // form converts the name first (to a lossy form when it has no faithful one: the head decides).
    int IsSupported(const wchar_t* path, const void* head);
    int IsSupported(const char* ansiPath, const void* head);
    int GetPictureInfo(SPIRequest* request, SPIPictureInfoEx* info);
    // The result (one packed DIB, owned by the caller) goes to request->output.
    int GetPicture(SPIRequest* request);
    int GetPreview(SPIRequest* request);
    int GetArchiveInfo(SPIRequest* request);
    // memberName: 8-bit text, as the listing gives it.
    int GetFileInfo(SPIRequest* request, const char* memberName, SPIFileInfo* record);
    int GetFile(SPIRequest* request);
    int ConfigurationDlg(HWND parent, int function);
    BOOL HasConfigurationDlg() const { return m_configurationDlg != nullptr; }

    int GetId() const { return m_id; }
    void SetId(int id) { m_id = id; }
    int GetGroup() const { return m_group; }
    void SetGroup(int group) { m_group = group; }
    int GetOrder() const { return m_order; }
    void SetOrder(int order) { m_order = order; }
    int GetFlags() const { return m_flags; }
    void SetFlags(int flags) { m_flags = flags; }
    bool IsEnabled() const { return (m_flags & FlagEnabled) != 0; }
    int GetUseCount() const { return m_useCount; }
    const CString& GetPath() const { return m_path; }
    void SetPath(const wchar_t* path) { m_path = path; }
    HMODULE GetModule() const { return m_module; }
    CString GetFileName() const;
    CString GetInfoString(int index) const; // empty out of range
    const CString& GetFilePatterns() const { return m_patterns; }
    VyxSPIChildArray& GetChildren() { return m_children; }
    const VyxSPIChildArray& GetChildren() const { return m_children; }

private:
    friend class VyxSPIChildArray;

    int RequestPicture(SPIGetPictureProc entry, SPIRequest* request);
    void ClearEntryPoints();

    CString m_path;
    HMODULE m_module = nullptr;
    int m_flags = 1;
    VyxSPIChildArray m_children;
    int m_id = -1;
    int m_group = 0;
    int m_useCount = 0;
    int m_order = 0;
    CStringArray m_infoTexts;
    CString m_patterns;

    SPIGetPluginInfoProc m_getPluginInfo = nullptr;
    SPIIsSupportedProc m_isSupported = nullptr;
    SPIGetPictureInfoProc m_getPictureInfo = nullptr;
    SPIGetPictureProc m_getPicture = nullptr;
    SPIGetPictureProc m_getPreview = nullptr;
    SPIGetFileProc m_getFile = nullptr;
    SPIGetArchiveInfoProc m_getArchiveInfo = nullptr;
    SPIGetFileInfoProc m_getFileInfo = nullptr;
    SPIConfigurationDlgProc m_configurationDlg = nullptr;
};

// One packed DIB from a plug-in's two handles: the info block's header (of any kind) and colour
// table, then the pixel rows, with room for the larger of the bits block and the header's image
// size. Every copy stays within its block. Null when the header cannot be read or sized.
HGLOBAL JoinDibHandles(HGLOBAL info, HGLOBAL bits);

// The name a plug-in is given for a file: its short path in the ANSI code page, or its long path
// when there is no short form and the long one survives the code page. False when neither fits
// out (MAX_PATH bytes); out then holds the empty text.
bool MakePluginPath(const wchar_t* path, char* out);
// The name a probe passes: MakePluginPath's, else a lossy ANSI form (the head decides a probe).
void MakePluginProbePath(const wchar_t* path, char* out);
