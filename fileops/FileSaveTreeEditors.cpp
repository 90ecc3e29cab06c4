#include "fileops/FileSaveTreeEditors.h"

#include "controls/CTreeOptionsCtrl.h"

namespace {

// The TIFF standard's compression codes.
const CodecChoice kTifCodecs[] = {{L"無圧縮", 1}, {L"LZW", 5}, {L"JPEG", 7}, {L"Packbits", 32773}, {L"ZIP", 32946}};
const CodecChoice kPngCodecs[] = {{L"無圧縮", 2}, {L"最適速度", 4}, {L"最適圧縮", 6}, {L"規定", 8}};
const CodecChoice kGifCodecs[] = {{L"LZW", 0}, {L"NONE", 1}, {L"RLE", 2}};

} // namespace

const CodecTable kTifCodecTable = {kTifCodecs, 5};
const CodecTable kPngCodecTable = {kPngCodecs, 4};
const CodecTable kGifCodecTable = {kGifCodecs, 3};

CString CodecTable::TextOf(int value) const
{
    for (int i = 0; i < count; ++i)
        if (choices[i].value == value)
            return choices[i].text;
    return CString();
}

int CodecTable::ValueOf(const CString& text, int fallback) const
{
    for (int i = 0; i < count; ++i)
        if (text == choices[i].text)
            return choices[i].value;
    return fallback;
}

IMPLEMENT_DYNAMIC(CCodecCombo, CTreeOptionsCombo)
BEGIN_MESSAGE_MAP(CCodecCombo, CTreeOptionsCombo)
ON_WM_CREATE()
END_MESSAGE_MAP()

int CCodecCombo::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CTreeOptionsCombo::OnCreate(lpCreateStruct) == -1)
        return -1;
    const CodecTable& table = Table();
    for (int i = 0; i < table.count; ++i)
        AddString(table.choices[i].text);
    return 0;
}

IMPLEMENT_DYNCREATE(CPngCodec, CCodecCombo)
IMPLEMENT_DYNCREATE(CTifCodec, CCodecCombo)
IMPLEMENT_DYNCREATE(CGifCodec, CCodecCombo)

IMPLEMENT_DYNCREATE(CQualityEdit, CTreeOptionsEdit)

DWORD CQualityEdit::GetWindowStyle()
{
    return CTreeOptionsEdit::GetWindowStyle() | ES_NUMBER;
}

IMPLEMENT_DYNCREATE(CQualitySpin, CTreeOptionsSpinCtrl)

void CQualitySpin::GetRange(int& nLower, int& nUpper)
{
    nLower = 0;
    nUpper = 100;
}

IMPLEMENT_DYNCREATE(CFsEdit, CTreeOptionsEdit)
BEGIN_MESSAGE_MAP(CFsEdit, CTreeOptionsEdit)
ON_WM_SETFOCUS()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

int CFsEdit::GetWidth()
{
    return 80;
}

BOOL CFsEdit::PreTranslateMessage(MSG* pMsg)
{
    // The dialog ignores Enter; here it ends the edit, and the tree takes the value when the
    // editor closes on losing the focus.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN && m_pTreeCtrl) {
        m_pTreeCtrl->SetFocus();
        return TRUE;
    }
    return CTreeOptionsEdit::PreTranslateMessage(pMsg);
}

void CFsEdit::OnSetFocus(CWnd* pOldWnd)
{
    CTreeOptionsEdit::OnSetFocus(pOldWnd);
    // Typing after the first click would otherwise join the old value ("1.0000000.5").
    if (m_selectWhole) {
        m_selectWhole = false;
        SetSel(0, -1);
    }
}

void CFsEdit::OnLButtonDown(UINT nFlags, CPoint point)
{
    // The click that brings the focus keeps the whole value selected; later clicks place the caret.
    if (GetFocus() != this) {
        SetFocus();
        return;
    }
    CTreeOptionsEdit::OnLButtonDown(nFlags, point);
}
