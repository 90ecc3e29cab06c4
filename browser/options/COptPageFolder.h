// The folder-tree page of the options sheet: the tree's root, archives and hidden folders in the
// tree, and how a folder's children are looked for.
#pragma once

#include "browser/options/COptPageBoot.h"

class COptPageFolder : public COptPage
{
public:
    explicit COptPageFolder(COptPageBoot::OPTIONSDATA* pData);

    // The root combo's row of a stored root (27 computer, 29 drives, anything else desktop), and
    // the value a row stores (-1 for no row).
    static int RootToIndex(int treeRoot);
    static int IndexToRoot(int index);

protected:
    void PrepareControls() override;
    void LoadMembers() override;
    void SetAnchors() override;

    afx_msg void OnSelChangeRoot();
    DECLARE_MESSAGE_MAP()

    COptPageBoot::OPTIONSDATA* m_pData;
    int m_rootIndex = 0;
};
