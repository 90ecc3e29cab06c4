// The framework's folder search with paths built by MakePath and a recursive counter of the
// entries and bytes under a folder.
#pragma once

#include "framework/Framework.h"

#include <functional>

class VyxFileFind : public CFileFind
{
public:
    VyxFileFind();
    ~VyxFileFind() override;

    // FindFile on folder joined with pattern.
    BOOL FindFileIn(const wchar_t* folder, const wchar_t* pattern);
    // The search root joined with the found name.
    CString GetFilePath() const override;

    // Entries matching path, each folder counting 1 plus, while depth is not 0, what lies under
    // it (searched with subPattern at depth - 1; a negative depth has no limit); each file adds
    // its length to the total. Returns the count. betweenEntries, when set, is called after each
    // entry: a long count can let its caller's window answer.
    int CountTree(const wchar_t* path, const wchar_t* subPattern, int depth,
                  const std::function<void()>& betweenEntries = nullptr);
    int GetCount() const { return m_count; }
    unsigned long long GetTotalLength() const { return m_totalLength; }

private:
    unsigned long long m_totalLength = 0;
    int m_count = 0;
};
