// The command line as the application reads it (CWinApp::ParseCommandLine): the first plain parameter is the file to
// open; the framework's own switches (/p, /pt, /dde, /Embedding, /Automation, /Register, /Unregister) choose the shell
// command.
#pragma once

#include "framework/CString.h"

class CCommandLineInfo : public CObject
{
public:
    CCommandLineInfo() = default;
    ~CCommandLineInfo() override = default;

    // Called for each parameter; a switch arrives without its leading "/" or "-".
    virtual void ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast);

    enum {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        FileNothing = -1
    } m_nShellCommand = FileNew;
    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

protected:
    void ParseParamFlag(const wchar_t* pszParam);
    void ParseParamNotFlag(const wchar_t* pszParam);
    void ParseLast(BOOL bLast);
};
