// The preview control: a window class "COneViewCtrl" that any dialog template can hold, showing
// one picture through an inner picture view made when the control is created (or, for a control
// from a template, when the dialog asks for it).
#pragma once

#include "catalogue/COneView.h"

class COneViewCtrl : public CWnd
{
public:
    // Registers the window class once per module; a failed registration raises the framework's
    // resource exception.
    COneViewCtrl();
    ~COneViewCtrl() override;

    static const wchar_t ClassName[];
    static void RegisterWndClass();

    BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, CCreateContext* pContext = nullptr) override;
    // A new inner view over the whole client area, any previous one destroyed first.
    BOOL CreateView();

    void SetZoom(double zoom);
    void SetFitMode(int mode);
    void SetPicture(const VyxFile* item);
    void SetViewRect(const RECT* rect);
    void Draw(CDC* pDC);
    COneView* GetView() const { return m_pView; }

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void DestroyView();

    COneView* m_pView = nullptr; // deletes itself with its window
};
