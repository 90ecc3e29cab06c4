#include "catalogue/CVirtualFolder.h"

#include "catalogue/CVirtualFolderList.h"

CVirtualFolder::CVirtualFolder() : m_kind(KindPlainFolder) {}

CVirtualFolder::CVirtualFolder(const wchar_t* container, const wchar_t* inner, const wchar_t* realPath)
    : m_path(CVirtualFolderList::JoinPath(container, inner)), m_realPath(realPath), m_kind(KindArchiveLocation)
{
}

CVirtualFolder::CVirtualFolder(const wchar_t* path, const wchar_t* realPath, int kind)
    : m_path(path), m_realPath(realPath), m_kind(kind)
{
}

CVirtualFolder::CVirtualFolder(const CVirtualFolder& other)
    : CObject(), m_path(other.m_path), m_realPath(other.m_realPath), m_kind(other.m_kind)
{
}

CVirtualFolder& CVirtualFolder::operator=(const CVirtualFolder& other)
{
    m_path = other.m_path;
    m_realPath = other.m_realPath;
    m_kind = other.m_kind;
    return *this;
}

CVirtualFolder::~CVirtualFolder() {}

bool CVirtualFolder::IsPath(const wchar_t* text) const
{
    return m_path.CompareNoCase(text ? text : L"") == 0;
}

bool CVirtualFolder::IsRealPath(const wchar_t* text) const
{
    return m_realPath.CompareNoCase(text ? text : L"") == 0;
}

void CVirtualFolder::SplitPath(CString& container, CString& inner) const
{
    int slash = m_path.Find(L'/');
    if (slash < 0) {
        container = m_path;
        inner.Empty();
        return;
    }
    container = m_path.Left(slash);
    inner = m_path.Mid(slash + 1);
}
