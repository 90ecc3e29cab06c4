// A file-operation job (copy or move of files into a folder) as the main frame runs it. Only the
// members its callers reach stand here yet: a job takes its sources and destination and runs
// nothing (result 0) until the file-operation engine is built.
#pragma once

#include "framework/Framework.h"

class VyxFileTransfer
{
public:
    VyxFileTransfer() = default;
    virtual ~VyxFileTransfer() = default;

    void AddDataObject(COleDataObject* pDataObject, DROPEFFECT dropEffect);
    void SetDestination(LPCWSTR lpszFolder) { m_destination = lpszFolder ? lpszFolder : L""; }
    const CString& GetDestination() const { return m_destination; }
    void CreateProgress(CWnd* pParent);
    void SetCopyBufferSize(int nBytes);
    void SetUniqueNameFormat(LPCWSTR lpszFormat);
    void SetCacheRoot(LPCWSTR lpszFolder);
    // The number of files done; 0 when nothing ran.
    virtual int Run();

private:
    CString m_destination;
};
