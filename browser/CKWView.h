// The thumbnail view. Only a plain view stands here yet: it paints the document's background and
// answers the frame as the thumbnail view will (no idle work; watchers re-armed for each new
// folder) until the thumbnail grid is built.
#pragma once

#include "framework/Framework.h"

class CKWView : public CView
{
    DECLARE_DYNCREATE(CKWView)
public:
    void OnDraw(CDC* pDC) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
};
