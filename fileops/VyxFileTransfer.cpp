#include "fileops/VyxFileTransfer.h"

void VyxFileTransfer::AddDataObject(COleDataObject*, DROPEFFECT) {}

void VyxFileTransfer::CreateProgress(CWnd*) {}

void VyxFileTransfer::SetCopyBufferSize(int) {}

void VyxFileTransfer::SetUniqueNameFormat(LPCWSTR) {}

void VyxFileTransfer::SetCacheRoot(LPCWSTR) {}

int VyxFileTransfer::Run()
{
    return 0;
}
