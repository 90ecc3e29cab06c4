// Small helpers shared by the document's sources: update-hint arguments, path parts, and scopes
// that put the document's updating flag and the current directory back on every way out.
#pragma once

#include "catalogue/CKWDoc.h"
#include "foundation/VyxPath.h"

inline CObject* HintArgument(const void* data)
{
    return reinterpret_cast<CObject*>(const_cast<void*>(data));
}

inline CObject* HintValue(int value)
{
    return reinterpret_cast<CObject*>(static_cast<INT_PTR>(value));
}

inline CString PathPart(const CString& path, int mask)
{
    CString part;
    return GetPathPart(part, path, mask);
}

// The current directory is put back on every way out.
class CurrentDirectoryScope
{
public:
    explicit CurrentDirectoryScope(const wchar_t* folder) : m_previous(CKWDoc::SwapCurrentDirectory(folder)) {}
    ~CurrentDirectoryScope() { SetCurrentDirectoryW(m_previous); }
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

private:
    CString m_previous;
};

// The document's updating flag, cleared again on every way out.
class UpdatingScope
{
public:
    explicit UpdatingScope(CKWDoc& document) : m_document(document) { m_document.SetUpdating(true); }
    ~UpdatingScope() { m_document.SetUpdating(false); }
    UpdatingScope(const UpdatingScope&) = delete;
    UpdatingScope& operator=(const UpdatingScope&) = delete;

private:
    CKWDoc& m_document;
};
