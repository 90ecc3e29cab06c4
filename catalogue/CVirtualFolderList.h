// The register of locations whose contents were extracted to disk: maps the real paths back to the
// paths the user sees, and removes the extracted copies when it is cleared or destroyed.
#pragma once

#include "catalogue/CVirtualFolder.h"

class CVirtualFolderList : public CObList
{
public:
    CVirtualFolderList();
    ~CVirtualFolderList() override;

    // A place inside an archive (kind 3); an archive file with its extraction folder (kind 2).
    // Neither looks for duplicates. Both return 0.
    int Add(const wchar_t* container, const wchar_t* inner, const wchar_t* realPath);
    int AddPath(const wchar_t* path, const wchar_t* realPath);

    // The first entry whose path (real path) equals the text without regard to case, or null.
    CVirtualFolder* FindPath(const wchar_t* path) const;
    CVirtualFolder* FindRealPath(const wchar_t* realPath) const;
    // The shown path of the first entry whose real path equals the text; else the text itself.
    CString ResolvePath(const wchar_t* text) const;

    // container "/" inner; the container alone when inner is empty.
    static CString JoinPath(const wchar_t* container, const wchar_t* inner);

    // Deletes each entry's real path with everything under it, in registration order, then the
    // entries.
    void Clear();

    CVirtualFolder* GetFolderAt(POSITION position) const { return static_cast<CVirtualFolder*>(GetAt(position)); }

private:
    CVirtualFolderList(const CVirtualFolderList&) = delete;
    CVirtualFolderList& operator=(const CVirtualFolderList&) = delete;
};
