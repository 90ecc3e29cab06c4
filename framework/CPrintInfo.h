// What a print job or a print preview tells the view that prints: the pages, the current one,
// the drawing area, and whether it is a preview.
#pragma once

#include "framework/CRect.h"
#include "framework/CString.h"

class CPrintDialog;

struct CPrintInfo
{
    CPrintInfo();
    ~CPrintInfo() = default;
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    void SetMinPage(UINT nMinPage) { m_nMinPage = nMinPage; }
    void SetMaxPage(UINT nMaxPage) { m_nMaxPage = nMaxPage; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }
    UINT GetFromPage() const { return m_nFromPage; }
    UINT GetToPage() const { return m_nToPage; }
    UINT GetOffsetPage() const { return m_nOffsetPage; }

    CPrintDialog* m_pPD; // the print dialog of a print job; none in a preview
    BOOL m_bDocObject;
    BOOL m_bPreview;          // drawing for the preview, not the printer
    BOOL m_bDirect;           // printing without the dialog
    BOOL m_bContinuePrinting; // FALSE ends the job after the current page
    UINT m_nCurPage;
    UINT m_nNumPreviewPages; // 1 or 2 pages side by side
    CString m_strPageDesc;   // the page-number format of the preview ("Page %u\nPages %u-%u")
    LPVOID m_lpUserData;
    CRect m_rectDraw; // the printable area of the page, in logical units
    int m_nJobNumber;
    UINT m_nOffsetPage;

private:
    UINT m_nMinPage;
    UINT m_nMaxPage;
    UINT m_nFromPage;
    UINT m_nToPage;
};
