#include "catalogue/CVirtualFolderList.h"

#include "foundation/VyxFileUtil.h"

CVirtualFolderList::CVirtualFolderList() : CObList(10) {}

CVirtualFolderList::~CVirtualFolderList()
{
    Clear();
}

int CVirtualFolderList::Add(const wchar_t* container, const wchar_t* inner, const wchar_t* realPath)
{
    AddTail(new CVirtualFolder(container, inner, realPath));
    return 0;
}

int CVirtualFolderList::AddPath(const wchar_t* path, const wchar_t* realPath)
{
    AddTail(new CVirtualFolder(path, realPath, CVirtualFolder::KindArchiveFile));
    return 0;
}

CVirtualFolder* CVirtualFolderList::FindPath(const wchar_t* path) const
{
    for (POSITION position = GetHeadPosition(); position;) {
        CVirtualFolder* entry = static_cast<CVirtualFolder*>(GetNext(position));
        if (entry->IsPath(path))
            return entry;
    }
    return nullptr;
}

CVirtualFolder* CVirtualFolderList::FindRealPath(const wchar_t* realPath) const
{
    for (POSITION position = GetHeadPosition(); position;) {
        CVirtualFolder* entry = static_cast<CVirtualFolder*>(GetNext(position));
        if (entry->IsRealPath(realPath))
            return entry;
    }
    return nullptr;
}

CString CVirtualFolderList::ResolvePath(const wchar_t* text) const
{
    const CVirtualFolder* entry = FindRealPath(text);
    return entry ? entry->GetPath() : CString(text ? text : L"");
}

CString CVirtualFolderList::JoinPath(const wchar_t* container, const wchar_t* inner)
{
    CString path(container ? container : L"");
    if (inner && *inner) {
        path += L'/';
        path += inner;
    }
    return path;
}

void CVirtualFolderList::Clear()
{
    while (!IsEmpty()) {
        CVirtualFolder* entry = static_cast<CVirtualFolder*>(RemoveHead());
        // A copy that is already gone is no error.
        DeleteFolderTree(entry->GetRealPath());
        delete entry;
    }
}
