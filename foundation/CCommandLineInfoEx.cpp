#include "foundation/CCommandLineInfoEx.h"

void CCommandLineInfoEx::ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast)
{
    if (bFlag) {
        m_options.SetAt(pszParam, L"TRUE");
        m_pendingSwitch = pszParam;
    } else if (!m_pendingSwitch.IsEmpty()) {
        // The command-line splitting leaves a quote behind a path that ends in a backslash.
        CString value = pszParam;
        if (!value.IsEmpty() && value[value.GetLength() - 1] == L'"')
            value = value.Left(value.GetLength() - 1);
        m_options.SetAt(m_pendingSwitch, value);
        m_pendingSwitch.Empty();
    }
    CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
}

BOOL CCommandLineInfoEx::GetOption(const wchar_t* name, CString& value) const
{
    return name && m_options.Lookup(name, value);
}

BOOL CCommandLineInfoEx::GetOptionInt(const wchar_t* name, int* value) const
{
    CString text;
    BOOL found = GetOption(name, text);
    if (value)
        *value = found ? _wtoi(text) : 0;
    return found;
}
