#include "viewer/COneViewCtrl.h"

#include "catalogue/CalcFitRect.h"
#include "catalogue/VyxFile.h"
#include "image/DibCore.h"
#include "image/DibPaint.h"

BEGIN_MESSAGE_MAP(COneViewCtrl, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

COneViewCtrl::COneViewCtrl()
{
    WNDCLASSW wc = {};
    if (::GetClassInfoW(AfxGetInstanceHandle(), L"COneViewCtrl", &wc))
        return;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"COneViewCtrl";
    if (!::RegisterClassW(&wc))
        AfxThrowResourceException();
}

COneViewCtrl::~COneViewCtrl()
{
    FreePicture();
}

void COneViewCtrl::FreePicture()
{
    if (m_picture)
        ::GlobalFree(m_picture);
    m_picture = nullptr;
}

void COneViewCtrl::SetZoom(double zoom)
{
    m_zoom = zoom;
    if (GetSafeHwnd())
        Invalidate();
}

void COneViewCtrl::SetFitMode(int fitMode)
{
    m_fitMode = fitMode;
    m_zoom = 0.0;
    if (GetSafeHwnd())
        Invalidate();
}

void COneViewCtrl::SetPicture(VyxFile* item)
{
    FreePicture();
    HGLOBAL picture = nullptr;
    if (item && item->LoadPicture(picture, nullptr))
        m_picture = picture;
    if (GetSafeHwnd())
        Invalidate();
}

void COneViewCtrl::Draw(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
    int width = GetDibWidth(m_picture), height = GetDibHeight(m_picture);
    if (width <= 0 || height <= 0)
        return;
    RECT area;
    if (m_zoom == 1.0) {
        // Actual size, centred (cut by the control's edges).
        int left = client.left + (client.Width() - width) / 2, top = client.top + (client.Height() - height) / 2;
        area = {left, top, left + width, top + height};
    } else {
        CalcFitRect(area, client.left, client.top, client.right, client.bottom, width, height, true, true, 0);
    }
    PaintDib(dc, area, m_picture);
}

void COneViewCtrl::OnPaint()
{
    CPaintDC dc(this);
    Draw(&dc);
}

BOOL COneViewCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}
