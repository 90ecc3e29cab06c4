// The cache page of the options sheet: reading and saving the thumbnail caches, thumbnails made
// while idle, and the folder the caches are kept in.
#pragma once

#include "browser/options/COptPageBoot.h"

class COptPageThumb : public COptPage
{
public:
    explicit COptPageThumb(COptPageBoot::OPTIONSDATA* pData);

protected:
    void PrepareControls() override;
    void SetAnchors() override;

    CEditButtonCtrl m_folder;
};
