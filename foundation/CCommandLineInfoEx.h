// The framework's command-line parsing that also keeps every switch ("/name" or "-name") with
// its value: "TRUE", or the plain parameter that follows it.
#pragma once

#include "framework/Framework.h"

class CCommandLineInfoEx : public CCommandLineInfo
{
public:
    void ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast) override;

    // The switch's value when it was given (names compared exactly).
    BOOL GetOption(const wchar_t* name, CString& value) const;
    // The same as a number (_wtoi; 0 when missing).
    BOOL GetOptionInt(const wchar_t* name, int* value) const;

private:
    CMapStringToString m_options;
    CString m_pendingSwitch;
};
