// The recent-file list whose menu entries carry each file's shell icon as a menu image.
#pragma once

#include "framework/Framework.h"

class CRecentFileListEx : public CRecentFileList
{
public:
    using CRecentFileList::CRecentFileList;
    void UpdateMenu(CCmdUI* pCmdUI) override;
};
