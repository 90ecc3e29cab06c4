// The bottom layer of a file item: what is known about one listed entry (a file, a folder, an
// archive file or an archive member) and its texts by property id or "$(...)" template, the one
// text formatter of the program for anything about a file.
#pragma once

#include "framework/Framework.h"
#include "image/cximage/CxImageJPG.h"

#include <memory>

class MacroText;
class CVirtualFolderList;
struct SPIFileInfo;

class VyxFilexInfo : public CObject
{
    DECLARE_DYNAMIC(VyxFilexInfo)
public:
    enum { KindFile = 0, KindFolder = 1, KindArchive = 2, KindArchiveMember = 3 };

    VyxFilexInfo();
    // Facts read from the file system (a missing path leaves size and times 0).
    explicit VyxFilexInfo(const wchar_t* path);
    // A found entry on disk (archivePluginId < 0), or a member of the found archive file.
    VyxFilexInfo(const CFileFind& found, int loaderId, int archivePluginId, const SPIFileInfo* member);
    VyxFilexInfo(const VyxFilexInfo& other);
    VyxFilexInfo& operator=(const VyxFilexInfo& other);
    ~VyxFilexInfo() override;
    void CopyFrom(const VyxFilexInfo& other, bool withExif);

    int GetLoaderId() const { return m_loaderId; }
    void SetLoaderId(int id) { m_loaderId = id; }
    const CString& GetPath() const { return m_path; }
    const CString& GetFolder() const { return m_folder; }
    const CString& GetFileName() const { return m_fileName; }
    ULONGLONG GetFileSize() const { return m_size; }
    void SetFileSize(DWORD low, DWORD high) { m_size = static_cast<ULONGLONG>(high) << 32 | low; }
    long long GetFileTime() const { return m_writeTime; } // last write
    void SetFileTime(long long seconds) { m_writeTime = seconds; }
    long long GetCreationTime() const { return m_creationTime; }
    int GetKind() const { return m_kind; }
    bool IsFolder() const { return m_kind == KindFolder; }
    bool IsArchive() const { return m_kind == KindArchive; }
    bool IsArchiveMember() const { return m_kind == KindArchiveMember; }
    int GetArchivePluginId() const { return m_archivePluginId; }
    void SetArchivePluginId(int id) { m_archivePluginId = id; }
    const CString& GetArchivePath() const { return m_archivePath; }
    const CString& GetArchiveFileName() const { return m_archiveFileName; }
    void SetArchiveFileName(const wchar_t* name) { m_archiveFileName = name; }
    DWORD GetArchivePosition() const { return m_archivePosition; }
    int GetWidth() const { return m_width; }
    void SetWidth(int width) { m_width = width; }
    int GetHeight() const { return m_height; }
    void SetHeight(int height) { m_height = height; }
    int GetBitCount() const { return m_bitCount; }
    void SetBitCount(int bitCount) { m_bitCount = bitCount; }
    const CString& GetInfoText() const { return m_infoText; }
    void SetInfoText(const wchar_t* text) { m_infoText = text; }
    int GetDecodeOptions() const { return m_decodeOptions; }
    void SetDecodeOptions(int options) { m_decodeOptions = options; }
    void SetNoteText(const wchar_t* text);
    // Null while no Exif block was read.
    const tag_ExifInfo* GetExifInfo() const { return m_exif.get(); }

    // Without its dot; empty for a name without one.
    CString GetExtension() const;
    // Kind 2 only from kind 0.
    void MarkAsArchive(int kind);
    // The last component of the path and the file name become the new name.
    void Rename(const wchar_t* newName);
    // Path and archive path both equal, without regard to case: the identity of an item.
    bool IsSameFile(const wchar_t* path, const wchar_t* archivePath) const;
    // Path and archive path both spelled exactly so.
    bool IsSpelledAs(const wchar_t* path, const wchar_t* archivePath) const;
    // The folder as the user knows it when it is an extracted copy of an archive location.
    CString GetResolvedFolder() const;
    static void SetVirtualFolders(CVirtualFolderList* list);
    static CVirtualFolderList* GetVirtualFolders();

    // The note's id: its text as stored (NoteText).
    static const int kNoteProperty = 24;
    // Ids 0-31; any other id, and 24, 27 and 28 here, give the empty text.
    virtual CString GetPropertyText(int id) const;
    // Every "$(...)" word of the macro table replaced by its property text; unknown words stay.
    // Only the template is searched, never a value put in. The note gives the text typed, each
    // line break written as noteLineBreak: the two characters "\n" where the text is one line.
    CString ExpandMacros(const wchar_t* text, const wchar_t* noteLineBreak = L"\\n") const;
    void ExpandMacros(MacroText& text, const wchar_t* noteLineBreak = L"\\n") const;

protected:
    tag_ExifInfo& PrepareExifInfo();

    int m_loaderId;
    CString m_folder;
    int m_decodeOptions;
    CString m_path;
    CString m_fileName;
    ULONGLONG m_size;
    long long m_creationTime;
    long long m_writeTime;
    int m_kind;
    int m_archivePluginId;
    CString m_archivePath;
    CString m_archiveFileName;
    DWORD m_archivePosition;
    int m_width;
    int m_height;
    int m_bitCount;
    CString m_infoText;
    // The note is fetched on first use, also through const items.
    mutable bool m_noteLoaded;
    mutable CString m_noteText;
    // Held only once read: a listed folder holds many items and few of them carry Exif data.
    std::unique_ptr<tag_ExifInfo> m_exif;
    // Whether the decoder was asked for the picture's facts (the Exif record among them) at all.
    bool m_exifRead = false;
};

// A size with its unit as property 14 writes it ("1.0KB").
CString FormatShortSize(ULONGLONG bytes);
