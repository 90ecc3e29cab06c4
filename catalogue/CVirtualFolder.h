// A location as the user sees it (a folder, an archive file shown as a folder, or a place inside
// an archive), under which settings, notes and thumbnails are filed, paired with the real path on
// disk where its content is read.
#pragma once

#include "framework/Framework.h"

class CVirtualFolder : public CObject
{
public:
    enum { KindPlainFolder = 1, KindArchiveFile = 2, KindArchiveLocation = 3 };

    CVirtualFolder();
    // A place inside an archive: the path is container "/" inner.
    CVirtualFolder(const wchar_t* container, const wchar_t* inner, const wchar_t* realPath);
    CVirtualFolder(const wchar_t* path, const wchar_t* realPath, int kind);
    CVirtualFolder(const CVirtualFolder& other);
    CVirtualFolder& operator=(const CVirtualFolder& other);
    ~CVirtualFolder() override;

    const CString& GetPath() const { return m_path; }
    void SetPath(const wchar_t* path) { m_path = path; }
    const CString& GetRealPath() const { return m_realPath; }
    void SetRealPath(const wchar_t* realPath) { m_realPath = realPath; }
    int GetKind() const { return m_kind; }
    void SetKind(int kind) { m_kind = kind; }
    bool IsPlainFolder() const { return m_kind == KindPlainFolder; }
    bool IsArchiveFile() const { return m_kind == KindArchiveFile; }
    bool IsArchiveLocation() const { return m_kind == KindArchiveLocation; }

    // Without regard to case.
    bool IsPath(const wchar_t* text) const;
    bool IsRealPath(const wchar_t* text) const;

    // At the first "/": the archive part and the part inside it (empty without "/").
    void SplitPath(CString& container, CString& inner) const;

private:
    CString m_path;
    CString m_realPath;
    int m_kind;
};
