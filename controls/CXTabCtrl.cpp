#include "controls/CXTabCtrl.h"

#include <new>

IMPLEMENT_DYNAMIC(CXTabCtrl, CWnd)

BEGIN_MESSAGE_MAP(CXTabCtrl, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_GETDLGCODE()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {

const int kTabMargin = 3;
const wchar_t kTabFontFace[] = L"ＭＳ Ｐゴシック";

CPen g_penBlack(PS_SOLID, 1, RGB(0, 0, 0));
CPen g_penGrey(PS_SOLID, 1, RGB(0x80, 0x80, 0x80));
CPen g_penLightGrey(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0));
CPen g_penWhite(PS_SOLID, 1, RGB(0xFF, 0xFF, 0xFF));

int CALLBACK CopyLogFont(const LOGFONTW* lpelfe, const TEXTMETRICW*, DWORD, LPARAM lParam)
{
    *reinterpret_cast<LOGFONTW*>(lParam) = *lpelfe;
    return 1;
}

bool KeyDown(int key)
{
    return ::GetKeyState(key) < 0;
}

} // namespace

// ---------------------------------------------------------------- one tab

CRect CXTabCtrl::CTabItem::GetRect()
{
    CRect client;
    m_pOwner->GetClientRect(&client);
    int height = m_pOwner->GetTabHeight();
    int top = (m_pOwner->GetTabStyle() & 1) ? client.top : client.bottom - height - 1;
    return CRect(m_nLeft, top, m_nLeft + m_nWidth, top + height);
}

CXTabCtrl::CTabItem* CXTabCtrl::CTabItem::SetIcon(HICON hIcon)
{
    m_hIcon = hIcon;
    return this;
}

BOOL CXTabCtrl::CTabItem::HitTest(int x, int y)
{
    return GetRect().PtInRect(CPoint(x, y));
}

CString CXTabCtrl::CTabItem::FitCaption(CDC* pDC, const CString& caption, int width)
{
    CString text = caption;
    int kept = caption.GetLength();
    while (!text.IsEmpty() && pDC->GetTextExtent(text).cx > width) {
        if (kept > 1) {
            --kept;
            text = caption.Left(kept) + L"...";
        } else {
            text = text.Left(text.GetLength() - 1);
        }
    }
    return text;
}

void CXTabCtrl::CTabItem::DrawCaption(CDC* pDC, BOOL bSelected, BOOL bFocused)
{
    CRect rect = GetRect();
    if (!bSelected)
        rect.top += 2;
    rect.DeflateRect(kTabMargin, 0);
    rect.left = DrawIcon(pDC, bSelected) + 2;
    CString text = FitCaption(pDC, m_caption, rect.Width());
    if (text.IsEmpty())
        return;
    pDC->DrawText(text, &rect, DT_SINGLELINE | DT_VCENTER);
    if (bFocused) {
        rect.left -= 2;
        rect.top += 2;
        rect.bottom -= 2;
        pDC->DrawFocusRect(&rect);
    }
}

int CXTabCtrl::CTabItem::DrawIcon(CDC* pDC, BOOL bSelected)
{
    CRect rect = GetRect();
    if (!bSelected)
        rect.top += 2;
    rect.DeflateRect(kTabMargin, 0);
    if (!m_hIcon || rect.Width() <= 16)
        return rect.left;
    CRect box(rect.left, rect.top, rect.left + 16, rect.bottom);
    int inset = (rect.Height() - 16) / 2;
    box.top += inset;
    box.bottom -= inset;

    // Drawn at its own size first, then scaled into the box.
    CDC memory;
    CBitmap bitmap;
    if (memory.CreateCompatibleDC(pDC) && bitmap.CreateCompatibleBitmap(pDC, 32, 32)) {
        HGDIOBJ old = ::SelectObject(memory.m_hDC, bitmap.GetSafeHandle());
        memory.FillSolidRect(0, 0, 32, 32, ::GetSysColor(COLOR_3DFACE));
        memory.DrawIcon(0, 0, m_hIcon);
        pDC->StretchBlt(box.left, box.top, box.Width(), box.Height(), &memory, 0, 0, 32, 32, SRCCOPY);
        ::SelectObject(memory.m_hDC, old);
    }
    return rect.left + kTabMargin / 2 + 16;
}

void CXTabCtrl::CTabItem::DrawBackground(CDC* pDC, BOOL bSelected)
{
    CRect rect = GetRect();
    int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    CPen* old = nullptr;
    if (m_pOwner->GetTabStyle() & 1) {
        if (!bSelected)
            t += 2;
        old = pDC->SelectObject(bSelected ? &g_penLightGrey : &g_penWhite);
        pDC->MoveTo(r - 1, b);
        pDC->LineTo(l, b);
        pDC->SelectObject(&g_penWhite);
        pDC->LineTo(l, t + 2);
        pDC->LineTo(l + 2, t);
        pDC->LineTo(r - 2, t);
        pDC->SelectObject(&g_penGrey);
        pDC->MoveTo(r - 2, t + 1);
        pDC->LineTo(r - 2, b);
        pDC->SelectObject(&g_penBlack);
        pDC->MoveTo(r - 1, t + 2);
        pDC->LineTo(r - 1, b);
    } else {
        if (bSelected) {
            CRect face(l + 1, t, r - 2, b);
            ::FillRect(pDC->m_hDC, &face, ::GetSysColorBrush(COLOR_3DFACE));
        } else {
            b -= 2;
        }
        old = pDC->SelectObject(&g_penWhite);
        pDC->MoveTo(l, bSelected ? t : t + 2);
        pDC->LineTo(l, b - 1);
        pDC->SelectObject(&g_penGrey);
        pDC->MoveTo(l + 1, b - 2);
        pDC->LineTo(l + 1, b - 1);
        pDC->LineTo(r - 2, b - 1);
        pDC->MoveTo(r - 3, b - 2);
        pDC->LineTo(r - 1, b - 2);
        pDC->MoveTo(r - 2, b - 2);
        pDC->LineTo(r - 2, bSelected ? t - 1 : t + 1);
        pDC->SelectObject(&g_penBlack);
        pDC->MoveTo(l + 2, b);
        pDC->LineTo(r - 2, b);
        pDC->MoveTo(r - 2, b - 1);
        pDC->LineTo(r - 1, b - 1);
        pDC->MoveTo(r - 1, b - 2);
        pDC->LineTo(r - 1, t + 1);
    }
    pDC->SelectObject(old);
}

int CXTabCtrl::CTabItem::CalcWidth(CDC* pDC)
{
    int iconPart = m_hIcon ? kTabMargin + 16 : 0;
    int width = iconPart + (kTabMargin + 2) * 2 + pDC->GetTextExtent(m_caption).cx;
    return width > kTabMargin + 8 ? width : kTabMargin + 8;
}

void CXTabCtrl::CTabItem::Draw(CDC* pDC, BOOL bSelected, BOOL bFocused)
{
    DrawBackground(pDC, bSelected);
    DrawCaption(pDC, bSelected, bSelected && bFocused);
}

// ---------------------------------------------------------------- the strip

CXTabCtrl::~CXTabCtrl()
{
    while (m_items.GetSize() > 0) {
        delete m_items[0];
        m_items.RemoveAt(0);
        if (::IsWindow(m_hWnd)) {
            RecalcLayout();
            Invalidate();
        }
    }
    m_font.DeleteObject();
}

CXTabCtrl::CTabItem* CXTabCtrl::GetItem(int nIndex)
{
    return nIndex >= 0 && nIndex < m_items.GetSize() ? m_items[nIndex] : nullptr;
}

int CXTabCtrl::GetTabHeight()
{
    return (m_nTabStyle & 1) ? 22 : 24;
}

int CXTabCtrl::GetTabStyle()
{
    return m_nTabStyle;
}

int CXTabCtrl::GetCurSel()
{
    return m_nCurSel;
}

int CXTabCtrl::GetItemCount()
{
    return static_cast<int>(m_items.GetSize());
}

CSize CXTabCtrl::GetItemSize(int nIndex)
{
    if (CTabItem* item = GetItem(nIndex))
        return CSize(item->m_nWidth, GetTabHeight());
    int total = 0;
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
        total += m_items[i]->m_nWidth;
    return CSize(total, GetTabHeight());
}

BOOL CXTabCtrl::DeleteItem(int nIndex)
{
    CTabItem* item = GetItem(nIndex);
    if (!item)
        return FALSE;
    delete item;
    m_items.RemoveAt(nIndex);
    if (::IsWindow(m_hWnd)) {
        RecalcLayout();
        Invalidate();
    }
    return TRUE;
}

int CXTabCtrl::InsertItem(LPCWSTR lpszCaption, DWORD dwItemData, HICON hIcon)
{
    CTabItem* item = new (std::nothrow) CTabItem(lpszCaption ? lpszCaption : L"", this);
    if (!item)
        return -1;
    int index = static_cast<int>(m_items.Add(item));
    item->SetIcon(hIcon);
    item->m_dwItemData = dwItemData;
    RecalcLayout();
    if (::IsWindow(m_hWnd))
        Invalidate();
    return index;
}

BOOL CXTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if ((dwStyle & 3) == 0)
        dwStyle |= 1;
    m_nTabStyle = static_cast<int>(dwStyle);
    LPCWSTR cls = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
                                      static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH)), nullptr);
    if (!CWnd::Create(cls, nullptr, dwStyle | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect, pParentWnd, nID))
        return FALSE;
    m_nTabStyle &= 3;

    // Without the face (Wine's default fonts) the zeroed record gives the system's default face.
    LOGFONTW logFont = {};
    {
        CClientDC dc(this);
        LOGFONTW wanted = {};
        wanted.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(wanted.lfFaceName, kTabFontFace, LF_FACESIZE);
        ::EnumFontFamiliesExW(dc.m_hDC, &wanted, &CopyLogFont, reinterpret_cast<LPARAM>(&logFont), 0);
    }
    logFont.lfHeight = -12;
    logFont.lfWidth = 0;
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&logFont);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
    RecalcLayout();
    return TRUE;
}

void CXTabCtrl::OnSelChange(int /*nOldIndex*/, int /*nNewIndex*/) {}

CRect CXTabCtrl::GetDisplayRect()
{
    CRect rect;
    GetClientRect(&rect);
    rect.DeflateRect(2, 2);
    if (m_nTabStyle & 1)
        rect.top += GetTabHeight();
    else
        rect.bottom -= GetTabHeight();
    return rect;
}

int CXTabCtrl::HitTest(int x, int y)
{
    for (int i = 0; i < GetItemCount(); ++i) {
        if (m_items[i]->HitTest(x, y))
            return i;
    }
    return -1;
}

void CXTabCtrl::ShrinkTabs(int nNeeded, int nAvailable)
{
    int count = GetItemCount();
    if (nNeeded <= nAvailable || count == 0)
        return;
    int width = nAvailable / count;
    int left = 1;
    for (int i = 0; i < count - 1; ++i) {
        m_items[i]->m_nLeft = left;
        m_items[i]->m_nWidth = width;
        left += width;
    }
    m_items[count - 1]->m_nLeft = left;
    m_items[count - 1]->m_nWidth = nAvailable - left;
}

void CXTabCtrl::PrepareDC(CDC* pDC)
{
    m_pSavedFont = pDC->SelectObject(&m_font);
    pDC->SetBkMode(TRANSPARENT);
}

void CXTabCtrl::RestoreDC(CDC* pDC)
{
    pDC->SelectObject(m_pSavedFont);
}

void CXTabCtrl::RecalcLayout()
{
    // Before the window exists there is no width to lay out in; WM_SIZE does it then.
    if (GetItemCount() == 0 || !::IsWindow(m_hWnd))
        return;
    CRect client;
    GetClientRect(&client);
    CClientDC dc(this);
    PrepareDC(&dc);
    int x = 1;
    for (int i = 0; i < GetItemCount(); ++i) {
        CTabItem* item = m_items[i];
        item->m_nWidth = item->CalcWidth(&dc);
        item->m_nLeft = x;
        x += item->m_nWidth;
    }
    RestoreDC(&dc);
    ShrinkTabs(x, client.Width());
}

void CXTabCtrl::Notify(UINT code)
{
    CWnd* parent = GetParent();
    if (!parent)
        return;
    NMHDR header = {m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), code};
    parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(LOWORD(header.idFrom)), reinterpret_cast<LPARAM>(&header));
}

void CXTabCtrl::SetCurSel(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetItemCount() || nIndex == m_nCurSel)
        return;
    Notify(TCN_SELCHANGING); // the reply cannot refuse the change
    int old = m_nCurSel;
    OnSelChange(old, nIndex);
    m_nCurSel = nIndex;
    if (::IsWindow(m_hWnd))
        Invalidate();
    Notify(TCN_SELCHANGE);
}

BOOL CXTabCtrl::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CLIPCHILDREN;
    return CWnd::PreCreateWindow(cs);
}

BOOL CXTabCtrl::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN) {
        int count = GetItemCount();
        bool ctrl = KeyDown(VK_CONTROL), shift = KeyDown(VK_SHIFT);
        // With no tabs the keys that move the selection do nothing.
        auto previous = [&] {
            if (count > 0)
                SetCurSel(m_nCurSel == 0 ? count - 1 : m_nCurSel - 1);
        };
        auto next = [&] {
            if (count > 0)
                SetCurSel((m_nCurSel + 1) % count);
        };
        switch (pMsg->wParam) {
        case VK_TAB:
            if (ctrl) {
                shift ? previous() : next();
            } else if (CWnd* parent = GetParent()) {
                if (CWnd* target = parent->GetNextDlgTabItem(this, shift))
                    target->SetFocus();
            }
            break;
        case VK_LEFT:
            previous();
            break;
        case VK_RIGHT:
            next();
            break;
        case VK_HOME:
            SetCurSel(0);
            break;
        case VK_END:
            SetCurSel(count - 1);
            break;
        case VK_UP:
        case VK_DOWN:
            if (CWnd* child = GetWindow(GW_CHILD))
                child->SetFocus();
            break;
        }
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CXTabCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CDC memory;
    CBitmap bitmap;
    if (!memory.CreateCompatibleDC(&dc) || !bitmap.CreateCompatibleBitmap(&dc, client.Width(), client.Height()))
        return;
    PrepareDC(&memory);
    HGDIOBJ old = ::SelectObject(memory.m_hDC, bitmap.GetSafeHandle());
    memory.FillSolidRect(&client, ::GetSysColor(COLOR_3DFACE));

    CRect body = client;
    if (m_nTabStyle & 1)
        body.top += GetTabHeight() - 1;
    else
        body.bottom += 1 - GetTabHeight();
    memory.DrawEdge(&body, EDGE_RAISED, BF_RECT);

    BOOL focused = CWnd::GetFocus() == this;
    for (int i = 0; i < GetItemCount(); ++i)
        m_items[i]->Draw(&memory, i == m_nCurSel, focused);

    dc.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    ::SelectObject(memory.m_hDC, old);
    RestoreDC(&memory);
}

BOOL CXTabCtrl::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, ::GetSysColor(COLOR_3DFACE));
    return TRUE;
}

void CXTabCtrl::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    RecalcLayout();
}

void CXTabCtrl::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    Invalidate();
}

void CXTabCtrl::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    Invalidate();
}

UINT CXTabCtrl::OnGetDlgCode()
{
    return DLGC_WANTARROWS | DLGC_WANTTAB;
}

void CXTabCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    SetFocus();
    int index = HitTest(point.x, point.y);
    SetCurSel(index);
    if (index >= 0)
        Notify(NM_CLICK);
    CWnd::OnLButtonDown(nFlags, point);
}
