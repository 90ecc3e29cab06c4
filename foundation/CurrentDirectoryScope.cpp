#include "foundation/CurrentDirectoryScope.h"

CurrentDirectoryScope::CurrentDirectoryScope(const wchar_t* folder) : m_previous(Swap(folder)) {}

CurrentDirectoryScope::~CurrentDirectoryScope()
{
    if (!m_previous.IsEmpty())
        SetCurrentDirectoryW(m_previous);
}

CString CurrentDirectoryScope::Swap(const wchar_t* folder)
{
    wchar_t current[520] = {};
    DWORD length = GetCurrentDirectoryW(520, current);
    CString previous = length > 0 && length < 520 ? current : L"";
    if (folder)
        SetCurrentDirectoryW(folder);
    return previous;
}
