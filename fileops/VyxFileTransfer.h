// A file-operation job (copy or move of files into a folder) as the main frame runs it. Only the
// members its callers reach stand here yet: a job takes its sources and destination and runs
// nothing (result 0) until the file-operation engine is built.
#pragma once

#include "framework/Framework.h"

#include <vector>

class VyxFile;

class VyxFileTransfer
{
public:
    VyxFileTransfer() = default;
    virtual ~VyxFileTransfer();

    // An item to transfer; owned (non-zero) items are deleted with the job.
    void AddItem(VyxFile* item, int owned);
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    VyxFile* GetItem(int index) const { return m_items[static_cast<size_t>(index)]; }
    void AddDataObject(COleDataObject* pDataObject, DROPEFFECT dropEffect);
    void SetMoveMode(int move) { m_move = move ? 1 : 0; }
    int GetMoveMode() const { return m_move; }
    void SetSameNameMode(int mode) { m_sameNameMode = mode; }
    int GetSameNameMode() const { return m_sameNameMode; }
    void SetExistingOnly(int existingOnly) { m_existingOnly = existingOnly ? 1 : 0; }
    int GetExistingOnly() const { return m_existingOnly; }
    void SetDestination(LPCWSTR lpszFolder) { m_destination = lpszFolder ? lpszFolder : L""; }
    const CString& GetDestination() const { return m_destination; }
    void CreateProgress(CWnd* pParent);
    void SetCopyBufferSize(int nBytes);
    void SetUniqueNameFormat(LPCWSTR lpszFormat);
    void SetCacheRoot(LPCWSTR lpszFolder);
    // Same-name policies.
    enum { SameNewer = 0, SameOverwrite = 1, SameIgnore = 2, SameAsk = 3, SameSerial = 4, SameLarger = 5 };
    // The first free serial name of target through the format; false when none is found.
    static bool MakeSerialName(CString& out, LPCWSTR target, LPCWSTR format);
    // The number of files done; 0 when nothing ran.
    virtual int Run();

private:
    CString m_destination;
    std::vector<VyxFile*> m_items;
    std::vector<VyxFile*> m_owned;
    int m_move = 0;
    int m_sameNameMode = 0;
    int m_existingOnly = 0;
};
