// The control that shows one picture inside any dialog (window class "COneViewCtrl"). Only what
// the same-name dialog calls stands here yet: it paints the item's picture fitted or at actual
// size, without the picture view inside, until the picture view is built.
#pragma once

#include "framework/Framework.h"

class VyxFile;

class COneViewCtrl : public CWnd
{
public:
    // Registers the window class once per module.
    COneViewCtrl();
    ~COneViewCtrl() override;

    // The inner view of a control made from a dialog template; nothing yet.
    void CreateView() {}
    void SetZoom(double zoom);
    void SetFitMode(int fitMode);
    // The item's picture (null: none); the item is not kept.
    void SetPicture(VyxFile* item);
    void SetViewRect(const RECT*) {}
    void Draw(CDC* dc);

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

private:
    void FreePicture();

    HGLOBAL m_picture = nullptr;
    double m_zoom = 0.0;
    int m_fitMode = 3;
};
