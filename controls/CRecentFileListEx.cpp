#include "controls/CRecentFileListEx.h"
#include "controls/VyxWinAppEx.h"

void CRecentFileListEx::UpdateMenu(CCmdUI* pCmdUI)
{
    const UINT firstId = pCmdUI->m_nID; // the base moves it on as it inserts the entries
    CRecentFileList::UpdateMenu(pCmdUI);
    VyxWinAppEx* app = VyxGetAppEx();
    if (!app)
        return;
    for (int i = 0; i < m_nSize && !m_arrNames[i].IsEmpty(); ++i)
        app->AddMenuFileIcon(firstId + static_cast<UINT>(i), m_arrNames[i]);
}
