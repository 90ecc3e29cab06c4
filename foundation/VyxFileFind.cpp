#include "foundation/VyxFileFind.h"

#include "foundation/VyxPath.h"

VyxFileFind::VyxFileFind() {}

VyxFileFind::~VyxFileFind() {}

BOOL VyxFileFind::FindFileIn(const wchar_t* folder, const wchar_t* pattern)
{
    CString path;
    MakePath(path, L"", folder, pattern, L"");
    return FindFile(path);
}

CString VyxFileFind::GetFilePath() const
{
    CString path;
    return MakePath(path, L"", m_strRoot, GetFileName(), L"");
}

int VyxFileFind::CountTree(const wchar_t* path, const wchar_t* subPattern, int depth,
                           const std::function<void()>& betweenEntries)
{
    m_count = 0;
    m_totalLength = 0;
    BOOL more = FindFile(path);
    while (more) {
        more = FindNextFile();
        if (betweenEntries)
            betweenEntries();
        if (IsDots())
            continue;
        if (IsDirectory()) {
            ++m_count;
            // A junction or folder link is counted but not entered: it may lead outside the
            // tree or back into it.
            if (depth != 0 && !MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT)) {
                VyxFileFind sub;
                CString subPath;
                MakePath(subPath, L"", GetFilePath(), subPattern, L"");
                m_count += sub.CountTree(subPath, subPattern, depth - 1, betweenEntries);
                m_totalLength += sub.GetTotalLength();
            }
        } else {
            ++m_count;
            m_totalLength += GetLength();
        }
    }
    Close();
    return m_count;
}
