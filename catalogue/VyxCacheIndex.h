// Where the side files of a location (thumbnail cache, notes, folder settings) lie: in the folder
// under a fixed name, or under a cache root under a numbered name that the index file
// "_cache_.lst" maps from the location's key. Finds, creates, deletes and renames them.
#pragma once

#include "foundation/VyxIni.h"

#include <string>
#include <unordered_map>
#include <vector>

class VyxCacheIndex
{
public:
    enum { KindThumbs = 0, KindNote = 1, KindConfig = 2, KindCount = 3 };

    VyxCacheIndex();
    explicit VyxCacheIndex(const wchar_t* cacheRoot);

    void SetCacheFolder(const wchar_t* cacheRoot);
    const CString& GetCacheFolder() const { return m_root; }
    bool HasCacheFolder() const { return !m_root.IsEmpty(); }
    const CString& GetIndexFileName() const { return m_indexPath; }

    // The side file's path, its index entry made when a root is set and none exists yet.
    CString GetSideFileName(int kind, const wchar_t* folder, const wchar_t* archiveFileName) const;
    CString GetThumbsFileName(const wchar_t* folder, const wchar_t* archiveFileName) const;
    CString GetNoteFileName(const wchar_t* folder, const wchar_t* archiveFileName) const;
    CString GetConfigFileName(const wchar_t* folder, const wchar_t* archiveFileName) const;
    // Nothing is created; out is the in-folder path when no central file is known. A look-up
    // only reads may trust the folder's last listing (its side files not shown there are not
    // asked for); one that goes on to write, move or remove a file asks the disk.
    bool FindSideFile(int kind, CString& out, const wchar_t* folder, const wchar_t* archiveFileName,
                      bool trustListing = false) const;
    bool FindThumbsFile(CString& out, const wchar_t* folder, const wchar_t* archiveFileName,
                        bool trustListing = false) const;
    bool FindNoteFile(CString& out, const wchar_t* folder, const wchar_t* archiveFileName) const;
    bool FindConfigFile(CString& out, const wchar_t* folder, const wchar_t* archiveFileName,
                        bool trustListing = false) const;
    bool HasThumbsFile(const wchar_t* folder, const wchar_t* archiveFileName) const;
    bool HasNoteFile(const wchar_t* folder, const wchar_t* archiveFileName) const;
    bool HasConfigFile(const wchar_t* folder, const wchar_t* archiveFileName) const;
    // The file and its index entry; 1.
    int DeleteSideFile(int kind, const wchar_t* folder, const wchar_t* archiveFileName) const;
    int DeleteThumbsFile(const wchar_t* folder, const wchar_t* archiveFileName) const;
    int DeleteNoteFile(const wchar_t* folder, const wchar_t* archiveFileName) const;
    int DeleteConfigFile(const wchar_t* folder, const wchar_t* archiveFileName) const;
    // Moves the index entries of a folder (and of what lies in it) to its new name.
    void RenameFolder(const wchar_t* newPath, const wchar_t* oldPath) const;

    // The key under which the index files a location.
    static CString GetLocationKey(const wchar_t* folder, const wchar_t* archiveFileName);
    // The key of an archive in a folder, from the folder's own key (GetLocationKey(folder, nullptr)):
    // a caller that keys many archives of one folder finds the folder's volume once.
    static CString GetArchiveKey(const wchar_t* folderKey, const wchar_t* archiveFileName);
    static CString EscapeKey(const wchar_t* text);   // "=" -> "|"
    static CString UnescapeKey(const wchar_t* text); // "|" -> "="
    static const wchar_t* GetSectionName(int kind);
    // The name a side file of that kind has inside its folder ("_THUMBS_.KWI", ...); "" otherwise.
    static const wchar_t* GetInFolderName(int kind);

    // For the cache maintenance dialog: the serials of the local drives, the path a key names,
    // the drive that holds a serial and a central file's path.
    void BuildDriveKeys();
    CString ParseKey(const wchar_t* key, CString& archiveFileName) const;
    CString GetDriveOfVolume(const wchar_t* serial) const;
    // Empty unless the name is a plain name of the form the program gives that kind's files
    // (digits and the kind's extension): an index entry never leads out of the root.
    CString GetCentralFilePath(int kind, const wchar_t* name) const;
    static bool IsCentralFileName(int kind, const wchar_t* name);
    // Removes the entries of the keys (as the index holds them) in one rewrite of the index: a
    // maintenance pass over many locations writes the index once, not once a location.
    void RemoveEntries(int kind, const std::vector<CString>& keys) const;

    // Each central name that more than one key of a section (its entries as GetWholeSection reads
    // them) names, with the first of those keys in the section's order; both upper-cased.
    using SharedNames = std::unordered_map<std::wstring, std::wstring>;
    static SharedNames FindSharedNames(const std::vector<wchar_t>& entries);
    // False when a key before this one names the same central file: the file is that key's, and
    // this key has none.
    static bool OwnsName(const SharedNames& shared, const wchar_t* key, const wchar_t* name);

private:
    CString m_root;
    CString m_indexPath;
    // The first number from the section's counter on that no entry of the section and no file
    // in the root has.
    int TakeFreeNumber(int kind) const;
    // OwnsName on the index as it stands.
    bool OwnsCentralName(int kind, const CString& key, const CString& name) const;

    VyxIni m_index;
    CString m_driveKeys[26];
};
