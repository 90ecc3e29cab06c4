#include "fileops/VyxFileTransfer.h"

#include "catalogue/VyxFile.h"

VyxFileTransfer::~VyxFileTransfer()
{
    for (VyxFile* item : m_owned)
        delete item;
}

void VyxFileTransfer::AddItem(VyxFile* item, int owned)
{
    if (!item)
        return;
    m_items.push_back(item);
    if (owned)
        m_owned.push_back(item);
}

void VyxFileTransfer::AddDataObject(COleDataObject*, DROPEFFECT) {}

void VyxFileTransfer::CreateProgress(CWnd*) {}

void VyxFileTransfer::SetCopyBufferSize(int) {}

void VyxFileTransfer::SetUniqueNameFormat(LPCWSTR) {}

void VyxFileTransfer::SetCacheRoot(LPCWSTR) {}

bool VyxFileTransfer::MakeSerialName(CString&, LPCWSTR, LPCWSTR)
{
    return false;
}

int VyxFileTransfer::Run()
{
    return 0;
}
