#include "controls/TreeOptionsDDX.h"

#include "controls/CTreeOptionsCtrl.h"
#include "foundation/VyxSystem.h"

#include <cwchar>

namespace {

CTreeOptionsCtrl* TreeOf(CDataExchange* pDX, int nIDC)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    return DYNAMIC_DOWNCAST(CTreeOptionsCtrl, CWnd::FromHandlePermanent(hWnd));
}

} // namespace

void AFXAPI DDX_TreeCheck(CDataExchange* pDX, int nIDC, HTREEITEM hItem, BOOL& bCheck)
{
    CTreeOptionsCtrl* tree = TreeOf(pDX, nIDC);
    if (!tree)
        return;
    if (pDX->m_bSaveAndValidate) {
        BOOL checked = FALSE;
        if (tree->GetCheckBox(hItem, &checked))
            bCheck = checked;
    } else {
        tree->SetCheckBox(hItem, bCheck);
    }
}

void AFXAPI DDX_TreeRadio(CDataExchange* pDX, int nIDC, HTREEITEM hParent, int& nIndex)
{
    CTreeOptionsCtrl* tree = TreeOf(pDX, nIDC);
    if (!tree)
        return;
    if (pDX->m_bSaveAndValidate)
        tree->GetRadioButton(hParent, &nIndex, nullptr);
    else
        tree->SetRadioButton(hParent, nIndex);
}

void AFXAPI DDX_TreeEdit(CDataExchange* pDX, int nIDC, HTREEITEM hItem, CString& sText)
{
    CTreeOptionsCtrl* tree = TreeOf(pDX, nIDC);
    if (!tree)
        return;
    if (pDX->m_bSaveAndValidate)
        sText = tree->GetEditText(hItem);
    else
        tree->SetEditText(hItem, sText);
}

void AFXAPI DDX_TreeEditInt(CDataExchange* pDX, int nIDC, HTREEITEM hItem, int& nValue)
{
    CTreeOptionsCtrl* tree = TreeOf(pDX, nIDC);
    if (!tree)
        return;
    if (pDX->m_bSaveAndValidate) {
        nValue = _wtoi(tree->GetEditText(hItem));
    } else {
        CString text;
        text.Format(L"%d", nValue);
        tree->SetEditText(hItem, text);
    }
}

void AFXAPI DDX_TreeEditDouble(CDataExchange* pDX, int nIDC, HTREEITEM hItem, double& dValue)
{
    CTreeOptionsCtrl* tree = TreeOf(pDX, nIDC);
    if (!tree)
        return;
    if (pDX->m_bSaveAndValidate) {
        dValue = _wtof(tree->GetEditText(hItem));
    } else {
        CString text;
        text.Format(L"%f", dValue);
        tree->SetEditText(hItem, text);
    }
}

void AFXAPI DDX_TreeColor(CDataExchange* pDX, int nIDC, HTREEITEM hItem, COLORREF& color)
{
    CTreeOptionsCtrl* tree = TreeOf(pDX, nIDC);
    if (!tree)
        return;
    if (pDX->m_bSaveAndValidate) {
        color = static_cast<COLORREF>(HexTextToInt(tree->GetEditText(hItem)));
    } else {
        CString text;
        text.Format(L"%06X", color);
        tree->SetEditText(hItem, text);
    }
}

void AFXAPI DDX_TreeFileEdit(CDataExchange* pDX, int nIDC, HTREEITEM hItem, CString& sText)
{
    DDX_TreeEdit(pDX, nIDC, hItem, sText);
}

void AFXAPI DDX_TreeFolderEdit(CDataExchange* pDX, int nIDC, HTREEITEM hItem, CString& sText)
{
    DDX_TreeEdit(pDX, nIDC, hItem, sText);
}

void AFXAPI DDX_TreeColorEdit(CDataExchange* pDX, int nIDC, HTREEITEM hItem, CString& sText)
{
    DDX_TreeEdit(pDX, nIDC, hItem, sText);
}

void AFXAPI DDX_TreeMenuEdit(CDataExchange* pDX, int nIDC, HTREEITEM hItem, CString& sText)
{
    DDX_TreeEdit(pDX, nIDC, hItem, sText);
}
